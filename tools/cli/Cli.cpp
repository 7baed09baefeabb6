#include "Cli.h"

#include "colour/Colors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>

bool CliArgs::takeFlag(const QString& name)
{
    return m_args.removeAll(name) > 0;
}

QString CliArgs::takeOption(const QString& name, const QString& fallback)
{
    for (int i = 0; i < m_args.size(); ++i) {
        if (m_args[i] == name) {
            if (i + 1 >= m_args.size())
                throw CliError(QStringLiteral("%1 needs a value").arg(name));
            const QString value = m_args[i + 1];
            m_args.remove(i, 2);
            return value;
        }
        if (m_args[i].startsWith(name + QLatin1Char('='))) {
            const QString value = m_args[i].mid(name.size() + 1);
            m_args.remove(i);
            return value;
        }
    }
    return fallback;
}

bool CliArgs::hasOption(const QString& name) const
{
    for (const QString& a : m_args)
        if (a == name || a.startsWith(name + QLatin1Char('=')))
            return true;
    return false;
}

QStringList CliArgs::takeAll(const QString& name)
{
    QStringList values;
    while (hasOption(name))
        values << takeOption(name);
    return values;
}

QString CliArgs::takePositional(const QString& what)
{
    for (int i = 0; i < m_args.size(); ++i) {
        // A lone "-" or a negative number is a value, not an option.
        const QString& a = m_args[i];
        if (a.startsWith(QLatin1String("--")))
            continue;
        m_args.remove(i);
        return a;
    }
    throw CliError(QStringLiteral("missing %1").arg(what));
}

void CliArgs::expectEnd() const
{
    if (!m_args.isEmpty())
        throw CliError(QStringLiteral("unexpected argument '%1'").arg(m_args.first()));
}

TColor ParseHexArg(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^#?([0-9A-Fa-f]{6}|[0-9A-Fa-f]{3})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        throw CliError(QStringLiteral("'%1' is not a hex colour (RRGGBB, #RRGGBB or #RGB)").arg(text));
    QString hex = m.captured(1);
    if (hex.size() == 3)
        hex = QString(hex[0]) + hex[0] + hex[1] + hex[1] + hex[2] + hex[2];
    const uint rgb = hex.toUInt(nullptr, 16);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int ParseIntArg(const QString& text, const QString& what, int lo, int hi)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lo || value > hi)
        throw CliError(
            QStringLiteral("%1 must be a whole number from %2 to %3, not '%4'").arg(what).arg(lo).arg(hi).arg(text));
    return value;
}

double ParseDoubleArg(const QString& text, const QString& what)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw CliError(QStringLiteral("%1 must be a number, not '%2'").arg(what, text));
    return value;
}

QString JsonColor(TColor color)
{
    return ColorToFullHex(color, false);
}

void PrintText(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stdout);
}

void PrintJson(const QJsonValue& value)
{
    QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    PrintText(QString::fromUtf8(doc.toJson(QJsonDocument::Indented)));
}
