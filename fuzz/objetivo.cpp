// The entry point of every fuzz target: ENTRADA names the reader of EntradasFuzz.h it feeds
// (arranque, historial or tiff), set per target by CMake.
#include "EntradasFuzz.h"

#include <cstdio>
#include <cstdlib>
#include <tiffio.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // libtiff's own complaints about bad files would drown the fuzzer's output.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    qSetMessagePattern(QStringLiteral("%{if-critical}%{message}%{endif}"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo)
{
    const QString fallo = EntradasFuzz::ENTRADA(
        QByteArray::fromRawData(reinterpret_cast<const char*>(datos), qsizetype(largo)));
    if (!fallo.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(fallo));
        std::abort();
    }
    return 0;
}
