// Built twice: as a library of its own, and as a client library that needs it. The tests
// load the client where the library it needs cannot be found, as a client whose libaio is
// not installed.
#ifdef MISSING_DEPENDENCY
int vellumar_absent_function() { return 0; }
#else
int vellumar_absent_function();
extern "C" int OCIEnvNlsCreate() { return vellumar_absent_function(); }
#endif
