// The libraries of an Instant Client folder, each needing the one before it by its bare name.

#if defined(INSTANT_CLIENT_CORE)
extern "C" int nimbraInstantClientCore() {
    return 1;
}
#elif defined(INSTANT_CLIENT_NNZ)
extern "C" int nimbraInstantClientCore();
extern "C" int nimbraInstantClientNnz() {
    return nimbraInstantClientCore() + 1;
}
#else
extern "C" int nimbraInstantClientNnz();
// Defined nowhere: only a library bound at once fails to load over it.
extern "C" int nimbraInstantClientUndefined();
extern "C" int nimbraInstantClientUses() {
    return nimbraInstantClientNnz() + nimbraInstantClientUndefined();
}
#endif
