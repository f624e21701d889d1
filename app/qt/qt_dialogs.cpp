// The message boxes and dialogs of the desktop backend. Each goes through the one dialog
// runner, so tests answer them without a window ever blocking.
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "app/qt/qt_ui.h"

namespace brisvel {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kWarning:
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return QMessageBox::Ok;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// The button's answer; anything else (the box closed some other way) declines.
MessageAnswer AnswerOf(int result, MessageButtons buttons) {
  switch (result) {
    case QMessageBox::Ok:
      return MessageAnswer::kOk;
    case QMessageBox::Yes:
      return MessageAnswer::kYes;
    case QMessageBox::No:
      return MessageAnswer::kNo;
    case QMessageBox::Cancel:
      return MessageAnswer::kCancel;
    default:
      return DeclinedAnswer(buttons);
  }
}

// A name filter as the dialog shows it. "*.*" means every file here, dotted or not.
QString NameFilter(const std::pair<std::string, std::string>& filter) {
  const QString pattern = filter.second == "*.*" ? "*" : QString::fromStdString(filter.second);
  return QString::fromStdString(filter.first) + " (" + pattern + ")";
}

}  // namespace

int QtUi::RunDialog(QDialog& dialog) {
  return runDialog_(dialog);
}

MessageAnswer QtUi::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                                MessageButtons buttons) {
  QMessageBox box(IconOf(icon), QString::fromStdString(title), QString::fromStdString(text),
                  ButtonsOf(buttons));
  box.setTextFormat(Qt::PlainText);
  box.setWindowIcon(Window(kMainWindow) ? Window(kMainWindow)->windowIcon() : QIcon());
  box.setEscapeButton(static_cast<QMessageBox::StandardButton>(
      buttons == MessageButtons::kYesNo      ? QMessageBox::No
      : buttons == MessageButtons::kOkCancel ? QMessageBox::Cancel
                                             : QMessageBox::Ok));
  return AnswerOf(RunDialog(box), buttons);
}

std::optional<std::string> QtUi::ChooseFolder(const std::string& title, const std::string& start) {
  QFileDialog dialog(nullptr, QString::fromStdString(title), QString::fromStdString(start));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  std::string folder = dialog.selectedFiles().first().toStdString();
  if (!folder.ends_with('/')) folder += '/';
  return folder;
}

std::optional<FileChoice> QtUi::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(nullptr, QString::fromStdString(request.title),
                     QString::fromStdString(request.folder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program replaces a chosen file without asking, as saving the job list should.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  for (const auto& filter : request.filters) filters << NameFilter(filter);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return FileChoice{dialog.selectedFiles().first().toStdString(),
                    std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())))};
}

std::optional<std::string> QtUi::AskText(const std::string& title, const std::string& prompt,
                                         const std::string& initial) {
  QInputDialog dialog;
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(QString::fromStdString(prompt));
  dialog.setTextValue(QString::fromStdString(initial));
  if (RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace brisvel
