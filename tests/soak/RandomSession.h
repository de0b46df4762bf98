#pragma once

#include "document/TransferTable.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>

struct MessageBoxRequest;
struct ProgramWindows;
class QFileDialog;
class QPrinter;
class QTimer;
class QWidget;

// A long session of random user actions over the program's three real
// windows: clicks on every button and menu item, typing into every box,
// keys, mouse moves over the graph and its legend, loads of good and broken
// files, saves, prints. File dialogs, message boxes and the print dialog are
// answered at random through the test responders, so nothing ever waits for
// a person. The same seed gives the same actions in the same order: a failure
// names the seed and the action's index, and running that many actions with
// that seed replays it.
//
// After every action the table is checked (a whole number of stages from 0 to
// 30; after a commit from the editor, stages without a gap, zeros after them,
// Order and n counted from the types), the action's time is measured against a
// limit, and no dialog may be left open. At the end every file saved reads
// back to the table it was saved from.
class RandomSession {
 public:
  RandomSession(std::uint64_t seed, int actions);
  ~RandomSession();
  RandomSession(const RandomSession&) = delete;
  RandomSession& operator=(const RandomSession&) = delete;

  // Runs the actions, then the read-back of the saved files. False at the
  // first failure; failure() says what, where and how to replay it.
  bool Run();
  const QString& failure() const { return failure_; }

  // Figures of the run.
  int actionsRun() const { return actionsRun_; }
  qint64 slowestActionNs() const { return slowestNs_; }
  QString slowestAction() const { return slowestName_; }
  int slowestIndex() const { return slowestIndex_; }
  int filesVerified() const { return filesVerified_; }
  int savesChecked() const { return savesChecked_; }
  int commitsChecked() const { return commitsChecked_; }
  int messageBoxes() const { return boxCount_; }
  // How often each action ran, and the slowest time of each, in ms.
  QString Summary() const;

  // Longest time one action may take, 1 s unless set otherwise.
  void SetActionLimitMs(qint64 limit) { actionLimitMs_ = limit; }
  qint64 actionLimitMs() const { return actionLimitMs_; }

 private:
  struct Action {
    QString name;
    double weight;
    std::function<bool()> available;
    std::function<void()> run;
  };
  struct SavedFile {
    QString path;
    TransferTableData table;
    int index;
  };
  struct Stats {
    int count = 0;
    qint64 maxNs = 0;
    qint64 totalNs = 0;
  };

  // Random numbers.
  int Uniform(int lo, int hi);
  double UniformReal(double lo, double hi);
  bool Chance(double p);
  template <class T>
  const T& Pick(const QList<T>& items) {
    return items[Uniform(0, static_cast<int>(items.size()) - 1)];
  }

  // Texts a user might type.
  QString RandomNumberText();
  QString RandomText();
  QString LongText();
  // A value a user would give the box, by its name.
  QString SensibleText(const QString& box);

  // Building the action list.
  void BuildActions();
  void AddMainActions();
  void AddEditorActions();
  void AddElementDialogActions();
  void Add(const QString& name, double weight, std::function<bool()> available,
           std::function<void()> run);

  // Input as the user gives it.
  void Activate(QWidget* window);
  void ClickWidget(QWidget* widget);
  void FocusByClick(QWidget* widget);
  void SendKey(QWidget* fallback, int key, const QString& text,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Types the text key by key (or through the input method) into the widget,
  // after a click on it; with replace over the whole old text.
  void TypeText(QWidget* widget, const QString& text, bool replace = false);
  void PasteText(QWidget* widget, const QString& text);
  // The same, with the text added to the action's description for replay.
  void TypeNoted(QWidget* widget, const QString& text, bool replace = false);
  void PasteNoted(QWidget* widget, const QString& text);
  void PressRandomKey(QWidget* widget);
  void ClickGridCell(int col, int row, bool twice);
  void ChooseFromMenuByMouse(int menuIndex);
  void ChooseFromMenuByKeys();
  void MoveMouseOverGraph();
  void PickFromComboPopup(QWidget* combo);
  void DropFiles();
  void Relaunch(bool recreate);

  // Answers of the responders.
  int AnswerBox(const MessageBoxRequest& request);
  std::optional<QString> AnswerFileDialog(QFileDialog& dialog);
  bool AnswerPrintDialog(QPrinter& printer);
  QString RandomLoadPath();
  QString RandomSavePath();

  // Checks after an action; false (with failure_ set) on a broken rule.
  bool CheckAfterAction(int index, const Action& action, qint64 ns);
  bool CheckTable(QString& why) const;
  bool CheckCommittedTable(QString& why) const;
  // Empty when the file reads back to the table it was saved from.
  static QString ReadBackProblem(const SavedFile& file);
  bool VerifySavedFiles();
  void CloseStrayWindows(QStringList& closed);
  void Fail(int index, const QString& name, const QString& what);
  void Note(const QString& text);

  std::uint64_t seed_;
  qint64 actionLimitMs_ = 1000;
  int actions_;
  std::mt19937_64 rng_;
  QTemporaryDir folder_;
  std::unique_ptr<ProgramWindows> windows_;
  std::vector<Action> actionList_;

  // The action being run and what it did, for the log.
  int current_ = -1;
  QString detail_;
  bool committed_ = false;
  int boxesThisAction_ = 0;
  QStringList unexpectedReports_;
  std::optional<SavedFile> pendingSave_;
  bool saveRefused_ = false;
  int printCount_ = 0;
  QString pendingPdf_;
  QStringList strayModals_;
  // Rules broken during the action, found by the input helpers.
  QStringList actionProblems_;
  QTimer* watchdog_ = nullptr;

  std::deque<QString> log_;
  std::map<QString, SavedFile> saved_;
  std::map<QString, Stats> stats_;
  std::map<QString, int> warnings_;
  std::map<QString, int> boxTexts_;
  static constexpr int Blocks = 10;
  qint64 blockNs_[Blocks] = {};
  int blockCount_[Blocks] = {};
  int startFiles_ = 0;
  int startThreads_ = 0;
  static int OpenFileCount();
  static int ThreadCount();
  static int WatchedFolderCount();
  QString failure_;
  int actionsRun_ = 0;
  qint64 slowestNs_ = 0;
  QString slowestName_;
  int slowestIndex_ = -1;
  int filesVerified_ = 0;
  int savesChecked_ = 0;
  int commitsChecked_ = 0;
  int boxCount_ = 0;
  QStringList fixtures_;
};
