// The main window's side of keeping the group folder in step: the watch
// on the folder, the start's reads and what a save tells. The work itself
// is the folder sync's (app/folder_sync.h).
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "data/os.h"

namespace korvane {

void TFrmFR0010MN::WatchFolder() {
  // The watch the reading opened before it listed the folder: a change
  // made since is not missed.
  const bool watched = work_.Watch(reading_->TakeWatch(), [this] { sync_.Look(); });
  // A share may send no notification at all: it gets a look when the
  // window is activated and before each save; a local disk none at idle.
  // Whether the folder is on a share is asked off the window's thread.
  sync_.SetLooks(!watched);
  if (watched) {
    work_.Run("data folder's drive", [this, folder = data_folder_]() -> BackgroundWork::Answer {
      const bool remote = os::IsRemoteFolder(folder);
      return [this, remote] { sync_.SetLooks(remote); };
    });
  }
  // A group whose entry is being edited is not dropped under the editor.
  sync_.editing = [this] { return marks_.edit_row >= 0; };
}

FileReport TFrmFR0010MN::StartFolderSync() {
  // Listed for a model never saved (disk epoch 0), as this one is.
  const std::optional<FolderListing> listing = reading_->TakeGroupNames();
  reading_ = nullptr;
  own_reading_.reset();
  return sync_.Begin(listing);
}

void TFrmFR0010MN::StopFolderSync() {
  work_.StopWatch();
  sync_.Stop();
}

void TFrmFR0010MN::ReportSave(const FileReport& saved) {
  std::vector<std::string> messages = saved.messages;
  for (std::string& m : sync_.TakeWarnings()) messages.push_back(std::move(m));
  ShowWarnings(messages);
  // What another place saved meanwhile was kept (Recycle Bin or a copy
  // beside the group): the user is told which groups and entries.
  if (!saved.clashes.empty()) ShowInformation(ClashText(saved.clashes));
  // The save took the file's values of the entries this run left alone.
  DGMain.Invalidate();
}

}  // namespace korvane
