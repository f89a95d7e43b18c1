#include "kit_IniText.h"

#include "kit_Paths.h"
#include "kit_Text.h"
#include "kit_TextEncodings.h"

#include <array>

namespace kit {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

bool enclosedInQuotes(QStringView text)
{
    return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

// A value holding a line break is kept on its line as "@Lines(...)" with "%", CR and LF
// percent-encoded; a value that begins with the marker is escaped too, so it reads back as it is.
const QString linesMarker = QStringLiteral("@Lines(");

QString escapeLines(const QString &value)
{
    QString out = linesMarker;
    for (const QChar c : value) {
        if (c == u'%')
            out += QLatin1String("%25");
        else if (c == u'\r')
            out += QLatin1String("%0D");
        else if (c == u'\n')
            out += QLatin1String("%0A");
        else
            out += c;
    }
    return out + u')';
}

std::optional<QString> unescapeLines(QStringView stored)
{
    if (!stored.startsWith(linesMarker) || !stored.endsWith(u')') ||
        stored.size() < linesMarker.size() + 1)
        return std::nullopt;
    const QStringView inner =
        stored.mid(linesMarker.size(), stored.size() - linesMarker.size() - 1);
    QString out;
    out.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] != u'%') {
            out += inner[i];
            continue;
        }
        const QStringView code = inner.mid(i + 1, 2);
        if (code == u"25")
            out += u'%';
        else if (code == u"0D")
            out += u'\r';
        else if (code == u"0A")
            out += u'\n';
        else
            return std::nullopt; // not written by us: read as it stands
        i += 2;
    }
    return out;
}

QString storedForm(const QString &value)
{
    if (value.contains(u'\r') || value.contains(u'\n') || value.startsWith(linesMarker))
        return escapeLines(value);
    if ((!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()))) ||
        enclosedInQuotes(value))
        return u'"' + value + u'"';
    return value;
}

QString readForm(QStringView stored)
{
    stored = trimmed(stored);
    if (enclosedInQuotes(stored))
        stored = stored.mid(1, stored.size() - 2);
    QString value = unescapeLines(stored).value_or(stored.toString());
    if (value.size() > iniValueLimit) {
        qsizetype keep = iniValueLimit;
        // Never half a character: a lone surrogate would be written back as another one.
        if (value[keep - 1].isHighSurrogate())
            --keep;
        value.truncate(keep);
    }
    return value;
}

// The name in a section's header line, when the line is one.
std::optional<QStringView> sectionName(QStringView line)
{
    line = trimmed(line);
    if (!line.startsWith(u'['))
        return std::nullopt;
    line = line.mid(1);
    const qsizetype close = line.indexOf(u']');
    return trimmed(close < 0 ? line : line.left(close));
}

// The position of "=" on a key's line, or -1 when the line holds no key.
qsizetype keySeparator(QStringView line)
{
    const QStringView start = trimmed(line);
    if (start.isEmpty() || start.front() == u';' || start.front() == u'#' || start.front() == u'[')
        return -1;
    return line.indexOf(u'=');
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniText IniText::fromBytes(const QByteArray &bytes)
{
    IniText ini;
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        const QByteArrayView units = QByteArrayView(bytes).sliced(2);
        ini.m_encoding = ListEncoding::utf16(units, false);
        text = fromUtf16(units, false);
    } else if (bytes.startsWith("\xFE\xFF")) {
        const QByteArrayView units = QByteArrayView(bytes).sliced(2);
        ini.m_encoding = ListEncoding::utf16(units, true);
        text = fromUtf16(units, true);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        ini.m_encoding = ListEncoding::Utf8;
        // A second mark is a character of the text, kept as it came.
        text = fromUtf8KeepingMarks(QByteArrayView(bytes).sliced(3));
    } else {
        text = fromSystemCodePage(bytes);
    }

    bool lineEndFound = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        const qsizetype endLength =
            (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        Line line{text.mid(start, i - start), text.mid(i, endLength)};
        if (!lineEndFound) {
            ini.m_lineEnd = line.end;
            lineEndFound = true;
        }
        ini.m_lines.append(std::move(line));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < text.size())
        ini.m_lines.append({text.mid(start), QString()});
    return ini;
}

QByteArray IniText::toBytes() const
{
    QString text;
    for (const Line &line : m_lines)
        text += line.text + line.end;
    return encodeText(text, m_encoding);
}

QStringList IniText::lines() const
{
    QStringList texts;
    texts.reserve(m_lines.size());
    for (const Line &line : m_lines)
        texts.append(line.text);
    return texts;
}

std::optional<IniText::Range> IniText::findSection(const QString &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QStringView> name = sectionName(m_lines[i].text);
        if (!name || !sameName(*name, section))
            continue;
        qsizetype end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

qsizetype IniText::findKey(const Range &range, const QString &key) const
{
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const QString &text = m_lines[i].text;
        const qsizetype eq = keySeparator(text);
        if (eq >= 0 && sameName(trimmed(QStringView(text).left(eq)), key))
            return i;
    }
    return -1;
}

std::optional<QString> IniText::value(const QString &section, const QString &key) const
{
    const std::optional<Range> range = findSection(section);
    if (!range)
        return std::nullopt;
    const qsizetype at = findKey(*range, key);
    if (at < 0)
        return std::nullopt;
    const QString &text = m_lines[at].text;
    return readForm(QStringView(text).mid(keySeparator(text) + 1));
}

void IniText::insertLine(qsizetype at, const QString &text)
{
    // The line before gets a line end if it was the last one and had none.
    if (at > 0 && m_lines[at - 1].end.isEmpty())
        m_lines[at - 1].end = m_lineEnd;
    m_lines.insert(at, Line{text, m_lineEnd});
}

bool IniText::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!isUsableName(section, true) || !isUsableName(key, false))
        return false;
    const QString stored = storedForm(value);
    const std::optional<Range> range = findSection(section);
    if (!range) {
        insertLine(m_lines.size(), u'[' + section + u']');
        insertLine(m_lines.size(), key + u'=' + stored);
        return true;
    }
    const qsizetype at = findKey(*range, key);
    if (at >= 0) {
        QString &text = m_lines[at].text;
        text = text.left(keySeparator(text) + 1) + stored;
        return true;
    }
    qsizetype after = range->end - 1;
    while (after > range->header && trimmed(m_lines[after].text).isEmpty())
        --after;
    insertLine(after + 1, key + u'=' + stored);
    return true;
}

bool IniText::isUsableName(const QString &name, bool isSection)
{
    if (name.isEmpty() || isBlank(name.front()) || isBlank(name.back()))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() == 0xFEFF)
            return false;
    }
    if (isSection)
        return !name.contains(u']');
    return !name.contains(u'=') && name.front() != u'[' && name.front() != u';' &&
           name.front() != u'#';
}

QString replaceExtension(const QString &path, const QString &extension, PathStyle style)
{
    qsizetype at = path.size() - 1;
    while (at >= 0 && path[at] != u'.' && !isPathSeparator(path[at], style))
        --at;
    const bool hasExtension = at > 0 && path[at] == u'.';
    return (hasExtension ? path.left(at) : path) + extension;
}

QString exeBaseName(const QString &executablePath, bool upperCased, PathStyle style)
{
    const QString name = replaceExtension(fileNamePart(executablePath, style), QString(), style);
    return upperCased ? asciiUpper(name) : name;
}

} // namespace kit
