#include <sqlite3.h>

#include <string>

#include "OraText.h"
#include "Store.h"

namespace sim {

namespace {

void fail(sqlite3_context* context, int code) {
    const std::string text = standardMessage(code);
    sqlite3_result_error(context, text.c_str(), static_cast<int>(text.size()));
}

void resultText(sqlite3_context* context, const std::string& text) {
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string textOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_value_bytes(value))) : "";
}

// Dates are stored as ISO texts; anything else is a number or text the server would convert.
void toChar(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        (argc == 2 && sqlite3_value_type(argv[1]) == SQLITE_NULL)) {
        sqlite3_result_null(context);
        return;
    }
    const std::string value = textOf(argv[0]);
    const auto date = sqlite3_value_type(argv[0]) == SQLITE_TEXT ? parseIsoDate(value)
                                                                 : std::optional<DateTime>{};
    if (date) {
        const auto text = argc == 2 ? formatDate(*date, textOf(argv[1])) : defaultDateText(*date);
        if (!text)
            return fail(context, 1821);
        return resultText(context, *text);
    }
    if (argc == 2)
        return fail(context, 1481);
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        return resultText(context, numberText(sqlite3_value_double(argv[0])));
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && !numericLiteral(value)) {
        return fail(context, 1722);
    }
    resultText(context, value);
}

void toNumber(sqlite3_context* context, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(context);
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return sqlite3_result_value(context, argv[0]);
        default:
            break;
    }
    const auto number = numericLiteral(textOf(argv[0]));
    if (!number)
        return fail(context, 1722);
    sqlite3_result_double(context, std::stod(*number));
}

void nvl(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_result_value(context, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

// The USERENV namespace as the running client sees it; another namespace holds nothing here.
void sysContext(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* client = *static_cast<const ClientContext* const*>(sqlite3_user_data(context));
    if (client == nullptr || upperCase(textOf(argv[0])) != "USERENV") {
        return sqlite3_result_null(context);
    }
    const std::string parameter = upperCase(textOf(argv[1]));
    if (parameter == "SID") {
        return resultText(context, std::to_string(client->sid));
    }
    if (parameter == "SESSION_USER") {
        return resultText(context, upperCase(client->user));
    }
    if (parameter == "INSTANCE") {
        return resultText(context, std::to_string(client->instance));
    }
    if (parameter == "INSTANCE_NAME") {
        return resultText(context, client->instanceName);
    }
    if (parameter == "DB_NAME") {
        return resultText(context, client->databaseName);
    }
    // The container parameters came with container databases; an empty name marks a release
    // before them.
    if (parameter == "CON_ID" && !client->containerName.empty()) {
        return resultText(context, std::to_string(client->container));
    }
    if (parameter == "CON_NAME" && !client->containerName.empty()) {
        return resultText(context, client->containerName);
    }
    fail(context, 2003);
}

// The client's instance and container, for the views that show only theirs.
void clientInstance(sqlite3_context* context, int, sqlite3_value**) {
    const auto* client = *static_cast<const ClientContext* const*>(sqlite3_user_data(context));
    sqlite3_result_int(context, client ? client->instance : 1);
}
void clientContainer(sqlite3_context* context, int, sqlite3_value**) {
    const auto* client = *static_cast<const ClientContext* const*>(sqlite3_user_data(context));
    sqlite3_result_int(context, client ? client->container : 0);
}

// The running statement's time, for the views' columns that count seconds.
void clock(sqlite3_context* context, int, sqlite3_value**) {
    const auto* client = *static_cast<const ClientContext* const*>(sqlite3_user_data(context));
    if (client == nullptr) {
        return sqlite3_result_null(context);
    }
    sqlite3_result_int64(context, client->now);
}

}  // namespace

void registerOracleFunctions(sqlite3* db, const ClientContext* const* client) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "to_char", 1, flags, nullptr, toChar, nullptr, nullptr);
    sqlite3_create_function(db, "to_char", 2, flags, nullptr, toChar, nullptr, nullptr);
    sqlite3_create_function(db, "to_number", 1, flags, nullptr, toNumber, nullptr, nullptr);
    sqlite3_create_function(db, "nvl", 2, flags, nullptr, nvl, nullptr, nullptr);
    auto* context = const_cast<const ClientContext**>(client);
    sqlite3_create_function(db, "sys_context", 2, SQLITE_UTF8, context, sysContext, nullptr,
                            nullptr);
    // Constant while one statement runs, and safe inside the instance's own views.
    sqlite3_create_function(db, "sim_clock", 0, flags | SQLITE_INNOCUOUS, context, clock, nullptr,
                            nullptr);
    sqlite3_create_function(db, "sim_instance", 0, flags | SQLITE_INNOCUOUS, context,
                            clientInstance, nullptr, nullptr);
    sqlite3_create_function(db, "sim_container", 0, flags | SQLITE_INNOCUOUS, context,
                            clientContainer, nullptr, nullptr);
}

}  // namespace sim
