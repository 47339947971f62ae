#pragma once
// Turns a failed client-library call into one message for the user.

#include <functional>
#include <string>

#include "Oci.h"

// 67 names indexed by function code 0 to 66.
extern const char* const OciFunctionNames[67];

// The text shown for a function code; codes without an entry read "unknown".
const char* OciFunctionName(unsigned code);

// Where failure messages go: the GUI shows a box, the command-line tool writes to standard
// error, tests record. Without a sink the text goes to standard error.
using MessageSink = std::function<void(const std::string& text)>;
void SetMessageSink(MessageSink sink);
void ShowFailureMessage(const std::string& text);

// Builds "ORACLE Error[ when processing OCI function NAME]\n<client library text>" from the
// area of the failed call and shows it.
void ReportOciError(const OciArea& area);
std::string OciErrorText(const OciArea& area);
// The client library's message for an Oracle error number, however long.
std::string ClientMessage(ub2 code);
