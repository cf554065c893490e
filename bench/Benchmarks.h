#pragma once
// The benchmarks, per record, at every size: snapshot, map and unmap through
// the plug-in's entry points, each timed in turn with its platform floor
// (the same platform calls made directly) so that both see the same machine,
// and the platform calls that grow with the sizes on their own: "procedure"
// (the share list answered), "response_parse" (that answer read into a
// message) and "list_read_write" (the view list through the platform, timed
// in turn with its floor: the same two SQLite statements run directly).
// Snapshot, map and unmap run on SQLite at every size, and, named
// postgresql/..., at the smaller sizes on PostgreSQL when
// ZRSO_TEST_POSTGRESQL names a server to make their databases on.
//
// An operation's time is the plug-in's (for list_read_write, the
// platform's); its counters add the floor ("floor_us"), the plug-in's own
// share, (plug-in - floor) / plug-in, from the means ("own_share") and from
// the medians ("own_share_med"), the medians ("median_us",
// "floor_median_us") and their ratio ("ratio_med"); on PostgreSQL, the
// plug-in's round trips to the server per record ("round_trips").

namespace bench {

void RegisterBenchmarks();

}  // namespace bench
