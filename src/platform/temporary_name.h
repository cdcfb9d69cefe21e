// The names of the file layer's temporaries: a file is written whole under
// one, then moved over its target. For the platform layer only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// "." + name + ".mytavex-tmp-" + process id + "-" + counter: beside the
// target, hidden, unique to a process and a call, and a name no editor types.
// name is the target's own name (its last part), in the system's spelling.
std::string TemporaryName(std::string_view name, unsigned long process, unsigned counter);

// The process id in an entry that is exactly a temporary of name; nothing
// for any other entry (the editor's "index.htm.tmp-notes" among them).
std::optional<unsigned long> TemporaryProcess(std::string_view entry, std::string_view name);

}  // namespace tavex
