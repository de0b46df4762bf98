#pragma once

#include "plot/Axes.h"

#include <QMainWindow>

class FileDialogHook;
class ImageControl;
class QFileDialog;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

// The main window: the graph, the axis limit boxes, the display switches, the
// commands and the menu. Controls carry their names as object names.
class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormMain(QWidget* parent = nullptr);
  ~TFormMain() override;

  ImageControl* ImageGraph;
  QLabel* LabelFreq;
  QLabel* LabelLebel;
  QLabel* LabelDelay;
  QLabel* LabelFrequ;
  QLabel* LabelUpper;
  QLabel* LabelLower;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* EditMaxL;
  QLineEdit* EditMinL;
  QLineEdit* EditMaxD;
  QLineEdit* EditMinD;
  QLineEdit* EditEf;
  QLineEdit* EditSf;
  QCheckBox* CheckBoxLevel;
  QCheckBox* CheckBoxLog;
  QCheckBox* CheckBoxRev;
  QRadioButton* RadioButtonTotal;
  QRadioButton* RadioButtonInt;
  QRadioButton* RadioButtonIndiv;
  QPushButton* ButtonLoad;
  QPushButton* ButtonSave;
  QPushButton* ButtonDraw;
  QPushButton* ButtonExit;
  QToolButton* BitBtnL1;
  QToolButton* BitBtnL2;
  QToolButton* BitBtnL3;
  QToolButton* BitBtnL4;
  QToolButton* BitBtnF1;
  QToolButton* BitBtnF2;
  QToolButton* BitBtnF3;
  QToolButton* BitBtnF4;
  QMenu* File1;
  QMenu* PrintP1;
  QAction* Load1;
  QAction* Save1;
  QAction* Edit1;
  QAction* Exit1;
  QAction* Print1;
  QAction* Copy1;
  // Made by BuildDialogs on first use; null until then.
  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;
  // Keep the file dialogs centred over the window while they open.
  FileDialogHook* FOpenDialog1Hook = nullptr;
  FileDialogHook* FSaveDialog1Hook = nullptr;

  // The folders the two file dialogs start in. Only the open dialog's folder
  // is kept in the options file.
  QString OpenDialogFolder;
  QString SaveDialogFolder;
  // The file name the save dialog offers again.
  QString SaveDialogFileName;

  // Life cycle.
  void FormCreate();
  void FormActivate();
  void FormClose();

  // Commands.
  void Load1Click();
  void ButtonLoadClick();
  void Save1Click();
  void ButtonSaveClick();
  void Edit1Click();
  void Exit1Click();
  void ButtonExitClick();
  void Print1Click();
  void Copy1Click();
  void ButtonDrawClick();
  void CheckBoxLevelClick();
  void CheckBoxLogClick();
  void BitBtnL1Click(QObject* sender);
  void BitBtnF1Click(QObject* sender);
  // Key handlers of the six axis boxes; key is the key code, set to 0 when
  // consumed.
  void EditMaxLKeyDown(QObject* sender, int& key);
  void EditSfKeyPress(QObject* sender, int& key);

  // Reads a transfer file into the table and shows it: the editor, the axis
  // limits and the graph follow. A file that cannot be read leaves everything
  // as it was.
  void LoadTransferFile(const QString& path);
  // Creates the open and save dialogs, once. Building a file dialog takes
  // longer than the whole rest of the window, so the window shows without
  // them and they are made when the user first loads or saves.
  void BuildDialogs();
  // Files dropped onto the window: the first one, when it is a .csv file.
  void WMDropFiles(const QStringList& paths);

  // Reads the axis boxes and switches and redraws the whole graph with the
  // title of fileName; the one way to bring the picture up to date.
  void RedrawGraph(const QString& fileName);
  // Repaints the empty frame, grid and labels only.
  void PrepareGraph(const QString& fileName);
  // Fits the axis boxes to the filter in the transfer table.
  void AutoScaleAxes();

  // The mouse over the graph, in bitmap pixels.
  void ImageGraphMouseEnter();
  void ImageGraphMouseLeave();
  void ImageGraphMouseMove(int x, int y);
  void ImageGraphClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void SetTabOrder();
  void UpdateRadioTabStops();
  GraphControls ReadControls() const;
  void ShowGraphError(const QString& text);

  QWidget* client_;
};

// The one main window of the program, created first.
extern TFormMain* FormMain;
