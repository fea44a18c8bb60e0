#pragma once

// What a routine that works on the host's layers did. The routines only
// report; the window words the outcome and shows it.

#include "runtime/Status.h"

#include <QString>

#include <optional>
#include <utility>

namespace quillet {

// The check or host call at which a routine stopped.
enum class Step {
    None,
    Layer,
    FeatureClass,
    Fields,
    FindField,
    Field,
    Type,
    Required,
    NewField,
    NewName,
    Definition,
    AddField,
    Search,
    Calculate,
    Delete,
};

struct Outcome {
    // Refused: one of the routine's checks said no. Failed: a host call did
    // not succeed, and `error` is what it answered.
    enum class Kind { Done, Refused, Failed };

    Kind kind = Kind::Done;
    Step step = Step::None;
    runtime::HResult error = runtime::S_OK;
    // The field a refusal is about, as the host names it; none when unread.
    std::optional<QString> field;
    // A field the routine added and could not remove again.
    bool addedFieldLeft = false;

    bool done() const { return kind == Kind::Done; }

    static Outcome refused(Step step, std::optional<QString> field = {})
    {
        return {Kind::Refused, step, runtime::S_OK, std::move(field)};
    }
    static Outcome failed(Step step, runtime::HResult error, std::optional<QString> field = {})
    {
        return {Kind::Failed, step, error, std::move(field)};
    }
};

} // namespace quillet
