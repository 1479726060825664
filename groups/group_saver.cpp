#include "groups/group_saver.h"

#include <utility>

#include "ui/application.h"

namespace korvane {

std::string GroupSaver::LateMessage(std::string_view folder) {
  return std::string(folder) + " への保存が終わりません。変更はまだ保存されていません。";
}

void GroupSaver::Save() {
  if (stopped_) return;
  if (running_) {
    again_ = true;
    return;
  }
  Begin();
  WaitForEnd();
}

void GroupSaver::WaitForEnd() {
  const auto ended = [this] { return stopped_ || !running_ || late_; };
  // The pool sets the save aside on its timer; the wait also keeps the
  // limit itself, so the user is told on time however the timer fares.
  ui::Application::RunUntil(ended, limit_ms_);
  if (!ended()) OnLate(generation_);
  ui::Application::RunUntil(ended);
}

void GroupSaver::Begin() {
  again_ = false;
  late_ = false;
  const std::uint64_t generation = ++generation_;
  // The copy the save writes from and changes, and the model as it was
  // then: what differs from it when the save ends is a change after it.
  auto before = std::make_shared<const LauncherModel>(p_.model);
  auto copy = std::make_shared<LauncherModel>(p_.model);
  // The copy is the worker's alone: the history that follows the window's
  // model, and the field an editor holds there, are not its.
  copy->SetMergeObserver(nullptr);
  copy->Release();
  ui::WorkQueue::Options options;
  options.key = "save";
  options.limit_ms = limit_ms_;
  options.late = [this, generation] { OnLate(generation); };
  running_ = true;
  if (ui::Application* app = ui::Application::Current()) {
    app->BeginBusy();
    busy_ = true;
  }
  p_.notice(kSavingText);
  try {
    p_.post(
        [this, generation, before, copy, folder = p_.data_folder](const ui::WorkQueue::Context& context) {
          if (void (*hold)() = before_write_for_tests.load()) hold();
          auto report = std::make_shared<const FileReport>(SaveGroups(folder, *copy));
          context.Reply([this, generation, before, copy, report] {
            OnSaved(generation, *before, std::move(*copy), *report);
          });
        },
        std::move(options));
  } catch (...) {
    running_ = false;
    EndBusy();
    p_.show_state();
    throw;
  }
}

void GroupSaver::OnLate(std::uint64_t generation) {
  if (stopped_ || generation != generation_ || !running_ || late_) return;
  late_ = true;
  EndBusy();
  p_.show_state();
  p_.warn({LateMessage(p_.data_folder)});
}

void GroupSaver::OnSaved(std::uint64_t generation, const LauncherModel& before, LauncherModel saved,
                         const FileReport& report) {
  if (stopped_ || generation != generation_) return;
  running_ = false;
  late_ = false;
  EndBusy();
  p_.model.TakeInSave(before, std::move(saved));
  p_.saved(report);
  // One asked for meanwhile runs now; a Save waiting on this one waits on
  // it too.
  if (again_ && !stopped_) Begin();
}

void GroupSaver::EndBusy() {
  if (!busy_) return;
  busy_ = false;
  if (ui::Application* app = ui::Application::Current()) app->EndBusy();
}

void GroupSaver::Stop() {
  stopped_ = true;
  running_ = false;
  EndBusy();
}

}  // namespace korvane
