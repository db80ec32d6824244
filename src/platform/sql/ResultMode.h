#pragma once

namespace sql {

// Buffered: the whole result is fetched at open, its row count is known. Streamed: rows come
// from the server as they are read, the row count is known once the end has been reached.
// Streamed holds little memory for very wide results.
enum class ResultMode { Buffered, Streamed };

} // namespace sql
