#pragma once

#include <QString>

namespace store {

/// A text as an SQL literal: in single quotes, each quote inside doubled. The
/// one way a value typed by a user enters the text of a statement.
QString sqlLiteral(const QString& text);

} // namespace store
