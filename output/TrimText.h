#pragma once
// The trimming the dialogs apply when a text is read back: blanks and control characters
// (everything up to and including the space) go at both ends; non-breaking and other
// typographic spaces belong to the text.

#include <QString>

inline QString TrimBlanks(const QString& Value)
{
    qsizetype first = 0;
    qsizetype last = Value.size();
    while (first < last && Value.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && Value.at(last - 1).unicode() <= 0x20)
        --last;
    return Value.mid(first, last - first);
}

// A memo edits lines separated by "\n"; a text given with Windows line breaks gets them
// back, so an untouched description reads exactly as it was given.
inline QString WithLineBreaksOf(const QString& Edited, const QString& Given)
{
    if (!Given.contains(QLatin1String("\r\n")))
        return Edited;
    QString out = Edited;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return out;
}
