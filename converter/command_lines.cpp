#include "converter/command_lines.h"

#include "app/gui/folder_item.h"

QString compileCommand(const QString& compilerPrefix, const QString& scriptPrefix, const QString& baseName)
{
    return compilerPrefix + QLatin1String("arm-none-eabi-gcc -c -mthumb -mlittle-endian -mno-unaligned-access -Os -o ")
           + scriptPrefix + baseName + QLatin1String(".o -c ") + scriptPrefix + baseName + QLatin1String(".c");
}

QString extractCommand(const QString& compilerPrefix, const QString& scriptPrefix, const QString& baseName)
{
    return compilerPrefix + QLatin1String("arm-none-eabi-objcopy -O binary ") + scriptPrefix + baseName
           + QLatin1String(".o ") + scriptPrefix + baseName + QLatin1String(".bin");
}

QString convertCommand(const QString& pythonPrefix, const QString& scriptPrefix, const QString& baseName,
                       const ConversionOptions& options)
{
    // An option text goes in as it stands when the shell would take it as one
    // plain word anyway; anything else is quoted, so that a text such as
    // "100; rm x" reaches the script as its value and is never run.
    using gui::shellQuote;
    return pythonPrefix + QLatin1String("python ") + scriptPrefix + QLatin1String("tarnwick.py -a ")
           + shellQuote(options.startAddress) + QLatin1String(" -s ") + shellQuote(options.firstLine)
           + QLatin1String(" -d ") + shellQuote(options.lineStep) + QLatin1String(" -o ")
           + shellQuote(options.numberFormat) + QLatin1String(" -c ") + shellQuote(options.valuesPerLine)
           + QLatin1String(" ") + scriptPrefix + baseName + QLatin1String(".bin ") + scriptPrefix + baseName
           + QLatin1String(".bas");
}
