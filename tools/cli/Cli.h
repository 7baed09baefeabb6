#pragma once
// Shared plumbing of korvel-cli: argument access, output, and the failure path.

#include "colour/ColorTypes.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <stdexcept>

// Thrown by a command for a one-line message on stderr and exit status 1.
struct CliError : std::runtime_error {
    explicit CliError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

class CliArgs {
public:
    explicit CliArgs(QStringList args) : m_args(std::move(args)) {}

    // Removes "--name" and reports whether it was there.
    bool takeFlag(const QString& name);
    // Removes "--name VALUE" (or "--name=VALUE"); fallback when absent.
    QString takeOption(const QString& name, const QString& fallback = QString());
    bool hasOption(const QString& name) const;
    // Every value of a repeatable option, in order, removed.
    QStringList takeAll(const QString& name);
    // The next positional argument, or an error naming what was expected.
    QString takePositional(const QString& what);
    // Fails on anything left over, so typos never pass silently.
    void expectEnd() const;
    // Everything not taken yet, in the order given (for commands whose options are a
    // sequence), removed.
    QStringList takeRest()
    {
        QStringList rest;
        rest.swap(m_args);
        return rest;
    }

private:
    QStringList m_args;
};

// Strict hex parsing for user input: "FF8000", "#ff8000" or "#f80".
TColor ParseHexArg(const QString& text);
int ParseIntArg(const QString& text, const QString& what, int lo, int hi);
double ParseDoubleArg(const QString& text, const QString& what);

// "RRGGBB", red first, upper case: the colour form of every JSON answer.
QString JsonColor(TColor color);

void PrintText(const QString& text);
void PrintJson(const QJsonValue& value);

// The commands, each taking the arguments after its name.
int RunColor(CliArgs& args);
int RunHarmony(CliArgs& args);
int RunRings(CliArgs& args);
int RunFormula(CliArgs& args);
int RunDump(CliArgs& args);
int RunConvert(CliArgs& args);
// Movies and scenes (they need a GUI application object; see main).
int RunRender(CliArgs& args);
int RunSwfDump(CliArgs& args);
int RunHit(CliArgs& args);
int RunPlay(CliArgs& args);
int RunScene(CliArgs& args);
int RunView(CliArgs& args);
