#pragma once
// The running program's version: the four numbers the settings compare at start and the
// text shown and stored beside them.

#include <QString>

struct TProgramVersion {
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;

    // "Version: %d.%d.%d, build: %d".
    QString Text() const;

    friend bool operator==(const TProgramVersion&, const TProgramVersion&) = default;
};

// The numbers this program was built with.
TProgramVersion RunningVersion();
