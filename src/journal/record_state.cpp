#include "journal/record_state.h"

#include <array>

namespace pelmar::journal {

namespace {

struct Named {
    RecordState state;
    const char* name;
};

constexpr std::array<Named, 6> kStateNames{{{RecordState::Pending, "pending"},
                                            {RecordState::Sending, "sending"},
                                            {RecordState::Sent, "sent"},
                                            {RecordState::Printed, "printed"},
                                            {RecordState::LeftOut, "left-out"},
                                            {RecordState::InDoubt, "in-doubt"}}};

constexpr std::array<const char*, 4> kSourceNames{"window", "command", "watch", "reprint"};

} // namespace

QString stateName(RecordState state) {
    for (const Named& named : kStateNames)
        if (named.state == state)
            return QString::fromLatin1(named.name);
    return {};
}

std::optional<RecordState> stateFromName(const QString& name) {
    for (const Named& named : kStateNames)
        if (name == QLatin1String(named.name))
            return named.state;
    return std::nullopt;
}

QString sourceName(RunSource source) {
    return QString::fromLatin1(kSourceNames.at(static_cast<std::size_t>(source)));
}

std::optional<RunSource> sourceFromName(const QString& name) {
    for (std::size_t index = 0; index < kSourceNames.size(); ++index)
        if (name == QLatin1String(kSourceNames[index]))
            return static_cast<RunSource>(index);
    return std::nullopt;
}

bool transitionAllowed(std::optional<RecordState> from, RecordState to) {
    using enum RecordState;
    if (!from)
        return to == Pending || to == Sending || to == LeftOut;
    switch (*from) {
    case Pending:
        return to == Sending || to == LeftOut;
    case Sending:
        // Back to pending: cancelled while its label was made, nothing of it sent. Left out: the
        // output refused its label before a byte went out.
        return to == Sent || to == InDoubt || to == Pending || to == LeftOut;
    case Sent:
        return to == Printed;
    default:
        return false;
    }
}

} // namespace pelmar::journal
