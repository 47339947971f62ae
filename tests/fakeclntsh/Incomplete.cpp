// Looks like the client library but lacks OCIStmtFetch2, as a library too old or damaged to use
// would. Nothing here is ever called: the provider checks every entry point before the first.

extern "C" {
void OCIEnvNlsCreate() {}
void OCIHandleAlloc() {}
void OCIHandleFree() {}
void OCIErrorGet() {}
void OCIStmtPrepare() {}
void OCIDefineByPos() {}
void OCIStmtExecute() {}
void OCIAttrGet() {}
void OCIAttrSet() {}
void OCIServerAttach() {}
void OCIServerDetach() {}
void OCISessionBegin() {}
void OCISessionEnd() {}
void OCIServerRelease() {}
}
