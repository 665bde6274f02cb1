#pragma once
// The grid windows' view of the session: its database, its sort direction,
// its export kind and the program directory's TEMP.

#include "common/grid_context.h"
#include "shell/session.h"

namespace torvika {

inline GridContext gridContext(Session& session) {
    return {[&session] { return session.db(); }, &session.sortDirection, &session.state<ExportKind>(),
            session.programDir.tempDir()};
}

} // namespace torvika
