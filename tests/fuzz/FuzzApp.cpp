// The application object every target needs (text codecs, temporary folders, timers), made
// once before the first input.
#include <QCoreApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}
