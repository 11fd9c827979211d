#include "format/format_problem.h"

#include <algorithm>

namespace pelmar::format {

namespace {

// Long values (texts, field expressions) would hide the reason at the end of the line.
constexpr qsizetype kShownValueLength = 30;
constexpr int kListedProblems = 10;

QString shownValue(const QString& value) {
    if (value.size() <= kShownValueLength)
        return value;
    return value.first(kShownValueLength - 3) + QStringLiteral("...");
}

} // namespace

QString problemText(const FormatProblem& problem) {
    QString where = problem.line > 0 ? QStringLiteral("第 %1 行 ").arg(problem.line) : QString();
    // A line without "=" has no key: its text is the value.
    if (problem.key.isEmpty())
        where += shownValue(problem.value);
    else if (problem.line > 0 || !problem.value.isEmpty())
        where += problem.key + u'=' + shownValue(problem.value);
    else
        where += problem.key;
    where = where.trimmed();
    return where.isEmpty() ? problem.text : where + QStringLiteral(": ") + problem.text;
}

bool hasErrors(const FormatProblems& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const FormatProblem& p) { return p.isError(); });
}

QString stoppingDescription(const FormatProblems& problems) {
    FormatProblems ordered = problems;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const FormatProblem& p) { return p.isError(); });
    const auto errors = std::count_if(ordered.begin(), ordered.end(),
                                      [](const FormatProblem& p) { return p.isError(); });
    QStringList lines{QStringLiteral("格式檔有 %1 個錯誤, 沒有列印任何標籤:").arg(errors)};
    const int listed = std::min(kListedProblems, static_cast<int>(ordered.size()));
    for (int i = 0; i < listed; ++i) {
        const FormatProblem& problem = ordered[static_cast<size_t>(i)];
        lines << (problem.isError() ? QString() : QStringLiteral("(警告) ")) + problemText(problem);
    }
    if (ordered.size() > static_cast<size_t>(listed))
        lines << QStringLiteral("另有 %1 個問題未列出").arg(ordered.size() - listed);
    return lines.join(u'\r');
}

QStringList warningLines(const FormatProblems& problems, const QString& formatFileName) {
    QStringList lines;
    qsizetype more = 0;
    for (const FormatProblem& problem : problems) {
        if (problem.isError())
            continue;
        if (lines.size() < kListedProblems)
            lines << QStringLiteral("格式檔 %1 ").arg(formatFileName) + problemText(problem);
        else
            ++more;
    }
    if (more > 0)
        lines << QStringLiteral("格式檔 %1 另有 %2 則警告未列出").arg(formatFileName).arg(more);
    return lines;
}

} // namespace pelmar::format
