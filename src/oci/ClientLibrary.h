#pragma once
// Finds the Oracle client library (libclntsh) on this machine, loads it and resolves the entry
// points ClientProvider calls.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "OciApi.h"

// Where the client library is looked for. Every file tried is named by its full path: an empty
// or relative folder would be the working folder, where anyone may have left a libclntsh.
struct ClientSearch {
    // NIMBRA_OCI_LIBRARY: when set, the only file tried; it must be a full path.
    std::string override;
    // The folders of LD_LIBRARY_PATH, as given; empty and relative ones are passed over.
    std::vector<std::string> libraryPath;
    // The files the loader's cache lists for each of the library's names.
    std::map<std::string, std::vector<std::string>> cached;
    // ORACLE_HOME; empty when unset; passed over when relative.
    std::string oracleHome;
    // The install folders present, newest first: /usr/lib/oracle/*/client64/lib and
    // /opt/oracle/instantclient*.
    std::vector<std::string> installFolders;

    static ClientSearch fromEnvironment();
    // The files to try in order: each name where the loader would look for it (LD_LIBRARY_PATH,
    // then its cache), then each folder with every name.
    std::vector<std::string> candidates() const;
};

// Orders install folders newest release first, reading the numbers in their names as numbers.
void SortNewestFirst(std::vector<std::string>& folders);

// Opens a shared library: its handle, or null with the loader's reason in error.
using LibraryOpener = std::function<void*(const std::string& file, std::string& error)>;
void* openSharedLibrary(const std::string& file, std::string& error);

class ClientLibrary {
public:
    // The first candidate that loads, with every entry point resolved; null otherwise, with
    // error set to sentences for the user that say what was searched and what to install.
    static std::unique_ptr<ClientLibrary> load(const ClientSearch& search, std::string& error,
                                               const LibraryOpener& open = openSharedLibrary);

    const oci::Api& api() const { return m_api; }
    const std::string& file() const { return m_file; }

private:
    ClientLibrary(std::string file, oci::Api api) : m_file(std::move(file)), m_api(api) {}
    // The library is never unloaded: its environment handle lives as long as the process.
    std::string m_file;
    oci::Api m_api;
};
