#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace pelmar::options {

// What an option takes after its name.
enum class ValueKind {
    None,        // a switch: nothing
    Text,        // any text that is not empty
    WholeNumber, // ASCII digits only, within [low, high]
    Decimal,     // a decimal number (sign, point, exponent allowed), within the range
    Choice,      // one of choices, exactly as written
};

// One option of a program: how it is written, what value it takes, how the usage shows it and
// what a bad value is told.
struct OptionSpec {
    QString name;      // "--from"
    QString shortName; // "-h"; empty: none
    ValueKind kind = ValueKind::None;
    QString valueName; // the value's word in the usage ("N", "FILE")
    double low = 0;    // WholeNumber and Decimal: the range
    double high = 0;
    bool lowIncluded = true; // Decimal: false for "above low"
    QStringList choices;
    // Text: what a value must pass besides not being empty; nothing when it may be any.
    std::function<bool(const QString&)> accepts;
    bool repeatable = false; // every value is kept; otherwise the last one counts
    bool required = false;   // shown without brackets in the synopsis (the program checks it)
    QString within;          // the option it only goes with, nested in its synopsis entry
    QString alsoWithin;      // another option it goes with as well (not nested in the synopsis)
    QString withoutRefusal;  // what the option without `within` (or `alsoWithin`) is told
    QStringList notWith;     // the options it cannot be given with
    QString notWithRefusal;  // what such a pair is told; %1 stands for the other option
    unsigned forms = 1;      // bit i: shown in the synopsis form i
    QString help;            // its entry in the option list; empty: not listed
    // What a bad value is told; %1 stands for the value.
    QString refusal;
    // What a whole number above the range is told, where it differs from refusal.
    QString tooLarge;
};

// One way of calling a program: its synopsis line and the words under it.
struct UsageForm {
    QString operand; // the operand written first ("FILE|-"); empty: none
    QString description;
};

// The options of a program, its operands and the wording of refusals that no option owns.
struct OptionTable {
    QString program;
    std::vector<OptionSpec> options;
    int operands = 0;        // how many arguments that are not options it takes
    QString unknownArgument; // %1: the argument
    QString needsValue;      // %1: the option
    std::vector<UsageForm> forms;
    QString epilogue; // the text after the option list, kept as written
};

// One value given on the command line: its text and, for numbers, its value.
struct OptionValue {
    QString text;
    double number = 0;
};

// The arguments read against a table: the values of each option given, by its long name, and
// the operands in order.
struct ParsedArguments {
    std::map<QString, std::vector<OptionValue>> given;
    QStringList operands;

    bool has(const QString& name) const { return given.count(name) != 0; }
    // The last value of the option, or nothing when it was not given.
    std::optional<OptionValue> last(const QString& name) const;
    // The texts of every value of the option, in the order given.
    QStringList texts(const QString& name) const;
};

// Why arguments are refused: the argument at fault (empty when the arguments as a whole are
// incomplete) and the explanation, in the wording of the program's table.
struct OptionError {
    QString option;
    QString message;
};

template <typename T> using Parsed = std::variant<T, OptionError>;

// Reads the arguments (without the program name) against the table: "--name value",
// "--name=value", "-x value" for a short name, operands anywhere ("-" is one). Throws nothing.
Parsed<ParsedArguments> parseArguments(const OptionTable& table, const QStringList& arguments);

} // namespace pelmar::options
