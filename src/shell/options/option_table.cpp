#include "shell/options/option_table.h"

#include "common/numbers.h"

#include <cmath>

namespace pelmar::options {

namespace {

bool allDigits(const QString& text) {
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !text.isEmpty();
}

// The number a value stands for, or nothing when it is not one of the option's kind. Digits
// beyond the range of a double read as infinity, which every range refuses.
std::optional<double> numberOf(const OptionSpec& option, const QString& text) {
    if (option.kind == ValueKind::WholeNumber && !allDigits(text))
        return std::nullopt;
    const QByteArray ascii = text.toLatin1();
    const std::optional<double> value = common::decimalValue(
        std::string_view(ascii.constData(), static_cast<size_t>(ascii.size())));
    if (!value || std::isnan(*value) || (option.kind == ValueKind::Decimal && std::isinf(*value)))
        return std::nullopt;
    return value;
}

OptionError badValue(const OptionSpec& option, const QString& message, const QString& text) {
    return {option.name, QString(message).replace(QLatin1String("%1"), text)};
}

// The value checked against the option's kind, or why it is refused.
Parsed<OptionValue> checkValue(const OptionTable& table, const OptionSpec& option,
                               const QString& text) {
    if (text.isEmpty())
        return OptionError{option.name, table.needsValue.arg(option.name)};
    OptionValue value{text, 0};
    switch (option.kind) {
    case ValueKind::None:
        break;
    case ValueKind::Text:
        if (option.accepts && !option.accepts(text))
            return badValue(option, option.refusal, text);
        break;
    case ValueKind::Choice:
        if (!option.choices.contains(text))
            return badValue(option, option.refusal, text);
        break;
    case ValueKind::WholeNumber:
    case ValueKind::Decimal: {
        const std::optional<double> number = numberOf(option, text);
        if (!number)
            return badValue(option, option.refusal, text);
        if (*number > option.high)
            return badValue(option, option.tooLarge.isEmpty() ? option.refusal : option.tooLarge,
                            text);
        const bool below = option.lowIncluded ? *number < option.low : *number <= option.low;
        if (below)
            return badValue(option, option.refusal, text);
        value.number = *number;
        break;
    }
    }
    return value;
}

const OptionSpec* findOption(const OptionTable& table, const QString& argument) {
    for (const OptionSpec& option : table.options) {
        if (argument == option.name ||
            (!option.shortName.isEmpty() && argument == option.shortName))
            return &option;
    }
    return nullptr;
}

} // namespace

std::optional<OptionValue> ParsedArguments::last(const QString& name) const {
    const auto found = given.find(name);
    if (found == given.end() || found->second.empty())
        return std::nullopt;
    return found->second.back();
}

QStringList ParsedArguments::texts(const QString& name) const {
    QStringList result;
    const auto found = given.find(name);
    if (found != given.end()) {
        for (const OptionValue& value : found->second)
            result << value.text;
    }
    return result;
}

Parsed<ParsedArguments> parseArguments(const OptionTable& table, const QStringList& arguments) {
    ParsedArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const qsizetype equals =
            argument.startsWith(QLatin1String("--")) ? argument.indexOf(u'=') : -1;
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionSpec* option = findOption(table, name);
        if (!option || (equals >= 0 && option->kind == ValueKind::None)) {
            const bool operand = argument == QLatin1String("-") || !argument.startsWith(u'-');
            if (!operand || parsed.operands.size() >= table.operands)
                return OptionError{argument, table.unknownArgument.arg(argument)};
            parsed.operands << argument;
            continue;
        }
        OptionValue value;
        if (option->kind != ValueKind::None) {
            QString text;
            if (equals >= 0)
                text = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                text = arguments[++i];
            Parsed<OptionValue> checked = checkValue(table, *option, text);
            if (const auto* error = std::get_if<OptionError>(&checked))
                return *error;
            value = std::get<OptionValue>(checked);
        }
        std::vector<OptionValue>& values = parsed.given[option->name];
        if (!option->repeatable)
            values.clear();
        values.push_back(value);
    }
    for (const OptionSpec& option : table.options) {
        if (!parsed.has(option.name))
            continue;
        const bool accompanied = parsed.has(option.within) ||
                                 (!option.alsoWithin.isEmpty() && parsed.has(option.alsoWithin));
        if (!option.within.isEmpty() && !accompanied)
            return OptionError{option.name, option.withoutRefusal};
        for (const QString& other : option.notWith) {
            if (parsed.has(other))
                return OptionError{option.name, QString(option.notWithRefusal).arg(other)};
        }
    }
    return parsed;
}

} // namespace pelmar::options
