#pragma once
// After a restore the files on disk may name another company, or hold other settings for the
// open one: the company that LastCo.Dat names becomes the open company again and the main window
// shows it.

namespace shell {

void ReopenCurrentCompany();

}  // namespace shell
