// Shows one file in the desktop's file manager, selected in its folder,
// through the freedesktop file-manager interface on the session bus
// (org.freedesktop.FileManager1, ShowItems).
//
// Protocol: UI thread. The call does not wait for the file manager: done
// runs later on the UI thread with the answer (true: shown), or at once with
// false when there is no session bus. The caller falls back on opening the
// folder. A tiny shim: the decision around it lives in EntryActions.
#pragma once

#include <QUrl>
#include <functional>

void ShowItemInFileManager(const QUrl& file, std::function<void(bool shown)> done);
