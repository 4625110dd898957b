#include "File/tFileDialogUtils.h"

#include <gtk/gtk.h>
#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "File/tFileUtils.h"

// The dialogs run GTK's own modal loop (gtk_dialog_run) inside the caller's
// frame. After the dialog is destroyed its window still has to be unmapped by
// GTK's main loop, so every pending GTK event is handled before returning;
// otherwise the dialog's last picture would stay on the screen until GTK ran
// again, which may be never.
//
// GTK must not change the process's locale: the program reads and writes
// numbers with the C library's conversions, which a decimal comma would
// break. So setlocale is disabled before GTK starts.

namespace {

// The stand-in that answers instead of the dialogs; empty when they show.
tFileDialogUtils::tStandIn& standIn() {
  static tFileDialogUtils::tStandIn* answer = new tFileDialogUtils::tStandIn();
  return *answer;
}

bool isDirectory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// The custom filter: every folder, and the files of the extension.
gboolean filterByExtension(const GtkFileFilterInfo* info, gpointer data) {
  if (info->filename == nullptr) return FALSE;
  if (isDirectory(info->filename)) return TRUE;
  return tFileUtils::isFileOfType(info->filename, *static_cast<const std::string*>(data));
}

// Lets GTK unmap and forget the windows it has destroyed.
void pumpPendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

// Runs the dialog modally, opened on the program's data directory (where the
// sample functions and scripts lie), and returns the chosen file's path, or
// "" when the dialog was not accepted; the dialog is destroyed.
std::string runDialog(GtkWidget* dialog) {
  gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog),
                                      tFileUtils::getDataDirectory().c_str());
  std::string path;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
    if (name != nullptr) path = name;
    g_free(name);
  }
  gtk_widget_destroy(dialog);
  pumpPendingEvents();
  return path;
}

}  // namespace

// GTK is started once; a process that could not start it does not try again.
bool tFileDialogUtils::startGtk() {
  static const bool started = [] {
    gtk_disable_setlocale();
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  if (!started) std::fprintf(stderr, "rootweaver: cannot show a file dialog: GTK did not start\n");
  return started;
}

std::string tFileDialogUtils::chooseSingleFile(const std::string& extension) {
  if (standIn()) return standIn()(TDIALOG_OPEN, extension);
  if (!startGtk()) return "";
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new("Choose a File", nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
                                  GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  // The filter reads this copy, which outlives the dialog.
  std::string wanted = extension;
  if (!wanted.empty()) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, ("*." + wanted).c_str());
    gtk_file_filter_add_custom(filter, GTK_FILE_FILTER_FILENAME, filterByExtension, &wanted,
                               nullptr);
    gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(dialog), filter);
  }
  return runDialog(dialog);
}

std::string tFileDialogUtils::getSaveName() {
  if (standIn()) return standIn()(TDIALOG_SAVE, "");
  if (!startGtk()) return "";
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new("Save As", nullptr, GTK_FILE_CHOOSER_ACTION_SAVE, "_Cancel",
                                  GTK_RESPONSE_CANCEL, "_Save", GTK_RESPONSE_ACCEPT, nullptr);
  // An existing file is replaced only when the user says so.
  gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(dialog), TRUE);
  return runDialog(dialog);
}

void tFileDialogUtils::setStandIn(tStandIn answer) { standIn() = std::move(answer); }
