// Leaks that the sanitizer build of this test program does not report.
//
// Qt 6.4 loses the fontconfig match patterns it caches for fallback fonts
// (a Latin face asked for Japanese characters): the cache list of
// QFontEngineMultiFontConfig is resized over patterns it inserted.  The
// memory comes from fontconfig, whose frames the sanitizer cannot unwind
// past, so the suppression names the library.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
