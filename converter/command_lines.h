#pragma once

#include <QString>

/// The five conversion options, as their controls give them.
struct ConversionOptions {
    QString startAddress;     ///< -a
    QString firstLine;        ///< -s
    QString lineStep;         ///< -d
    QString numberFormat;     ///< -o
    QString valuesPerLine;    ///< -c
};

/// The three command lines of one conversion. Each prefix is a folder's shell
/// path followed by "/", or empty for a program the shell finds on its PATH.
/// The option texts are each passed as exactly one shell word.
QString compileCommand(const QString& compilerPrefix, const QString& scriptPrefix, const QString& baseName);
QString extractCommand(const QString& compilerPrefix, const QString& scriptPrefix, const QString& baseName);
QString convertCommand(const QString& pythonPrefix, const QString& scriptPrefix, const QString& baseName,
                       const ConversionOptions& options);
