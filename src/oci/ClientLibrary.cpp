#include "ClientLibrary.h"

#include <dlfcn.h>
#include <glob.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <variant>

#include "LoaderCache.h"

namespace {

constexpr const char* kBaseName = "libclntsh.so";
constexpr const char* kVersions[] = {".23.1", ".21.1", ".20.1", ".19.1", ".18.1", ".12.1", ".11.1"};

constexpr const char* kInstallAdvice =
    " Install Oracle Instant Client (Basic or Basic Light) and make it visible through "
    "LD_LIBRARY_PATH, ORACLE_HOME or NIMBRA_OCI_LIBRARY. Without a database, use the host "
    "string sim:demo.";

std::vector<std::string> fileNames() {
    std::vector<std::string> names = {kBaseName};
    for (const char* version : kVersions) {
        names.push_back(std::string(kBaseName) + version);
    }
    return names;
}

bool isFullPath(const std::string& path) {
    return path.starts_with('/');
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::vector<std::string> pathsMatching(const std::string& pattern, int flags) {
    std::vector<std::string> paths;
    glob_t found{};
    if (glob(pattern.c_str(), flags, nullptr, &found) == 0) {
        paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
    }
    globfree(&found);
    return paths;
}

std::vector<std::string> foldersMatching(const char* pattern) {
    std::vector<std::string> folders = pathsMatching(pattern, GLOB_ONLYDIR);
    SortNewestFirst(folders);
    return folders;
}

// The libraries Instant Client ships beside libclntsh and links it against by bare name; its
// files carry no RPATH, so the loader finds them only when they are already loaded.
constexpr const char* kSiblingPatterns[] = {"libclntshcore.so*", "libnnz*.so", "libmql1.so",
                                            "libipc1.so", "libons.so"};

// Loads the siblings of file from its folder by full path, each once its own siblings are in;
// what cannot be loaded is left for the client library's own load to explain.
std::vector<void*> loadSiblings(const std::string& file, const LibraryOpener& open) {
    std::vector<void*> loaded;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return loaded;
    }
    const std::string folder = std::filesystem::path(file).parent_path().string();
    std::vector<std::string> pending;
    for (const char* pattern : kSiblingPatterns) {
        for (const std::string& sibling : pathsMatching(folder + "/" + pattern, 0)) {
            if (sibling != file) {
                pending.push_back(sibling);
            }
        }
    }
    for (bool progress = true; progress && !pending.empty();) {
        progress = false;
        for (auto it = pending.begin(); it != pending.end();) {
            std::string reason;
            if (void* library = open(*it, reason)) {
                loaded.push_back(library);
                it = pending.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
    }
    return loaded;
}

void closeAll(const std::vector<void*>& libraries) {
    for (auto it = libraries.rbegin(); it != libraries.rend(); ++it) {
        dlclose(*it);
    }
}

// A file the loader did not find at all, as opposed to one it found and could not load.
bool notFound(const std::string& file, const std::string& reason) {
    return reason.starts_with(file + ": cannot open shared object file");
}

std::string notFoundSentence(const ClientSearch& search) {
    std::string versions;
    for (const char* version : kVersions) {
        versions += versions.empty() ? "" : ", ";
        versions += version;
    }
    const std::string home = search.oracleHome.empty()       ? "$ORACLE_HOME/lib (not set)"
                             : isFullPath(search.oracleHome) ? search.oracleHome + "/lib"
                                                             : "$ORACLE_HOME/lib (not a full path)";
    return std::string("No Oracle client library was found. Nimbra looked for ") + kBaseName +
           " (also " + versions + ") on the loader path, in " + home +
           ", /usr/lib/oracle/*/client64/lib and /opt/oracle/instantclient*.";
}

template <typename Function>
void resolve(void* library, const char* name, Function& target, std::string& missing) {
    void* symbol = dlsym(library, name);
    if (symbol == nullptr && missing.empty()) {
        missing = name;
    }
    target = reinterpret_cast<Function>(symbol);
}

// The name of the first entry point the library lacks; empty when it has them all. The
// client's release is asked of it only when it can tell.
std::string resolveAll(void* library, oci::Api& api) {
    api.clientVersion = reinterpret_cast<oci::ClientVersion>(dlsym(library, "OCIClientVersion"));
    api.serverRelease2 = reinterpret_cast<oci::ServerRelease2>(dlsym(library, "OCIServerRelease2"));
    std::string missing;
    resolve(library, "OCIEnvNlsCreate", api.envNlsCreate, missing);
    resolve(library, "OCIHandleAlloc", api.handleAlloc, missing);
    resolve(library, "OCIHandleFree", api.handleFree, missing);
    resolve(library, "OCIErrorGet", api.errorGet, missing);
    resolve(library, "OCIStmtPrepare", api.stmtPrepare, missing);
    resolve(library, "OCIDefineByPos", api.defineByPos, missing);
    resolve(library, "OCIStmtExecute", api.stmtExecute, missing);
    resolve(library, "OCIStmtFetch2", api.stmtFetch2, missing);
    resolve(library, "OCIAttrGet", api.attrGet, missing);
    resolve(library, "OCIAttrSet", api.attrSet, missing);
    resolve(library, "OCIServerAttach", api.serverAttach, missing);
    resolve(library, "OCIServerDetach", api.serverDetach, missing);
    resolve(library, "OCISessionBegin", api.sessionBegin, missing);
    resolve(library, "OCISessionEnd", api.sessionEnd, missing);
    resolve(library, "OCIServerRelease", api.serverRelease, missing);
    return missing;
}

}  // namespace

ClientSearch ClientSearch::fromEnvironment() {
    ClientSearch search;
    search.override = environment("NIMBRA_OCI_LIBRARY");
    const std::string libraryPath = environment("LD_LIBRARY_PATH");
    for (std::size_t from = 0, to = 0; from <= libraryPath.size(); from = to + 1) {
        to = std::min(libraryPath.find_first_of(":;", from), libraryPath.size());
        search.libraryPath.push_back(libraryPath.substr(from, to - from));
    }
    search.cached = ReadLoaderCache(kLoaderCacheFile, fileNames());
    search.oracleHome = environment("ORACLE_HOME");
    for (const char* pattern : {"/usr/lib/oracle/*/client64/lib", "/opt/oracle/instantclient*"}) {
        const std::vector<std::string> folders = foldersMatching(pattern);
        search.installFolders.insert(search.installFolders.end(), folders.begin(), folders.end());
    }
    return search;
}

std::vector<std::string> ClientSearch::candidates() const {
    if (!override.empty()) {
        return {override};
    }
    const std::vector<std::string> names = fileNames();
    std::vector<std::string> files;
    const auto addIfFullPath = [&files](const std::string& folder, const std::string& name) {
        if (isFullPath(folder)) {
            files.push_back(folder + "/" + name);
        }
    };
    for (const std::string& name : names) {
        for (const std::string& folder : libraryPath) {
            addIfFullPath(folder, name);
        }
        if (const auto listed = cached.find(name); listed != cached.end()) {
            std::copy_if(listed->second.begin(), listed->second.end(), std::back_inserter(files),
                         isFullPath);
        }
    }
    std::vector<std::string> folders = installFolders;
    if (!oracleHome.empty()) {
        folders.insert(folders.begin(), oracleHome + "/lib");
    }
    for (const std::string& folder : folders) {
        for (const std::string& name : names) {
            addIfFullPath(folder, name);
        }
    }
    return files;
}

// Bound lazily, as Oracle's own layer opens it: a symbol the client library never calls need not
// resolve.
void* openSharedLibrary(const std::string& file, std::string& error) {
    void* library = dlopen(file.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason == nullptr ? "unknown reason" : reason;
    }
    return library;
}

// A candidate that cannot be loaded, or lacks an entry point, is noted and the search goes on;
// the first such note explains the failure when no candidate serves.
std::unique_ptr<ClientLibrary> ClientLibrary::load(const ClientSearch& search, std::string& error,
                                                   const LibraryOpener& open) {
    if (!search.override.empty() && !isFullPath(search.override)) {
        error = "NIMBRA_OCI_LIBRARY names " + search.override +
                ", which is not a full path: it must begin with /, so that no library is taken "
                "from the working folder." +
                kInstallAdvice;
        return nullptr;
    }
    std::string firstFailure;
    for (const std::string& file : search.candidates()) {
        std::string reason;
        const std::vector<void*> siblings = loadSiblings(file, open);
        void* library = open(file, reason);
        if (library == nullptr) {
            closeAll(siblings);
            if (!search.override.empty()) {
                firstFailure = "NIMBRA_OCI_LIBRARY names " + file +
                               ", which could not be loaded: " + reason + ".";
            } else if (firstFailure.empty() && !notFound(file, reason)) {
                firstFailure = file + " was found but could not be loaded: " + reason + ".";
            }
            continue;
        }
        oci::Api api;
        const std::string missing = resolveAll(library, api);
        if (missing.empty()) {
            return std::unique_ptr<ClientLibrary>(new ClientLibrary(file, api));
        }
        dlclose(library);
        closeAll(siblings);
        if (firstFailure.empty()) {
            firstFailure = file +
                           " is not a usable Oracle client library: it lacks the entry point " +
                           missing + ".";
        }
    }
    error = (firstFailure.empty() ? notFoundSentence(search) : firstFailure) + kInstallAdvice;
    return nullptr;
}

void SortNewestFirst(std::vector<std::string>& folders) {
    // The numbers in a name compare as numbers: instantclient_19_25 is newer than 19_3.
    const auto parts = [](const std::string& name) {
        std::vector<std::variant<long long, std::string>> out;
        for (std::size_t i = 0; i < name.size();) {
            std::size_t j = i;
            const bool digits = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
            while (j < name.size() &&
                   (std::isdigit(static_cast<unsigned char>(name[j])) != 0) == digits) {
                ++j;
            }
            const std::string piece = name.substr(i, j - i);
            if (digits) {
                out.emplace_back(std::stoll(piece.substr(0, 18)));
            } else {
                out.emplace_back(piece);
            }
            i = j;
        }
        return out;
    };
    std::stable_sort(
        folders.begin(), folders.end(),
        [&](const std::string& a, const std::string& b) { return parts(a) > parts(b); });
}
