#pragma once
// The texts the catalogue shows: messages, questions and captions set in code.

#include <QString>

namespace torvika::texts {} // namespace torvika::texts
