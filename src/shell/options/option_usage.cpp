#include "shell/options/option_usage.h"

namespace pelmar::options {

namespace {

// Lines of the usage are filled up to this many characters.
constexpr qsizetype kWidth = 88;
// Labels of the option list longer than this stand on a line of their own.
constexpr qsizetype kLongestLabel = 20;

// The option as the synopsis writes it, with the options that go with it inside.
QString synopsisEntry(const OptionTable& table, const OptionSpec& option) {
    QString entry;
    if (option.kind == ValueKind::None)
        entry = option.shortName.isEmpty() ? option.name : option.name + " | " + option.shortName;
    else
        entry =
            (option.shortName.isEmpty() ? option.name : option.shortName) + u' ' + option.valueName;
    if (option.repeatable)
        entry += QStringLiteral(" ...");
    for (const OptionSpec& inner : table.options) {
        if (inner.within == option.name)
            entry += u' ' + synopsisEntry(table, inner);
    }
    return option.required ? entry : u'[' + entry + u']';
}

// Words joined into lines of at most kWidth characters; the first line starts with first, the
// others with indent blanks.
QString fill(const QString& first, const QStringList& words, qsizetype indent) {
    QString text = first;
    qsizetype lineStart = 0;
    bool lineEmpty = first.trimmed().isEmpty() || first.endsWith(u' ');
    for (const QString& word : words) {
        const qsizetype length = text.size() - lineStart;
        if (!lineEmpty && length + 1 + word.size() > kWidth) {
            text += u'\n';
            lineStart = text.size();
            text += QString(indent, u' ');
            lineEmpty = true;
        }
        if (!lineEmpty)
            text += u' ';
        text += word;
        lineEmpty = false;
    }
    return text + u'\n';
}

QString synopsis(const OptionTable& table, size_t form) {
    const QString prefix =
        (form == 0 ? QStringLiteral("usage: ") : QStringLiteral("       ")) + table.program;
    QStringList entries;
    if (!table.forms[form].operand.isEmpty())
        entries << table.forms[form].operand;
    for (const OptionSpec& option : table.options) {
        if (option.within.isEmpty() && (option.forms & (1u << form)) != 0)
            entries << synopsisEntry(table, option);
    }
    return fill(prefix, entries, prefix.size() + 1);
}

QString label(const OptionSpec& option) {
    QString text = option.name;
    if (!option.shortName.isEmpty())
        text += QStringLiteral(", ") + option.shortName;
    if (option.kind != ValueKind::None)
        text += u' ' + option.valueName;
    return text;
}

QString optionList(const OptionTable& table) {
    qsizetype column = 0;
    for (const OptionSpec& option : table.options) {
        if (!option.help.isEmpty() && label(option).size() <= kLongestLabel)
            column = std::max(column, label(option).size());
    }
    column += 3; // two blanks before the label, one after
    QString text;
    for (const OptionSpec& option : table.options) {
        if (option.help.isEmpty())
            continue;
        QString first = QStringLiteral("  ") + label(option);
        if (first.size() + 1 > column) {
            text += first + u'\n';
            first.clear();
        }
        first = first.leftJustified(column, u' ');
        text += fill(first, option.help.split(u' ', Qt::SkipEmptyParts), column);
    }
    return text;
}

} // namespace

QString usageText(const OptionTable& table) {
    QString text;
    for (size_t form = 0; form < table.forms.size(); ++form)
        text += synopsis(table, form) + table.forms[form].description;
    return text + optionList(table) + table.epilogue;
}

} // namespace pelmar::options
