// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The real file dialogs behind the dialogs seam, answered by a timer: where they open, what
// they fill in, and the question before a file is replaced.
#include "app/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;
using Kind = Dialogs::FileKind;

namespace
{

const QStringList Filters = {QStringLiteral("Coded surface bulletin (*.txt) (*.txt)"),
                             QStringLiteral("All files (*)")};

// Runs a dialog call while a timer hands each newly active modal window to handle(). Answers
// are queued, so a question box that an answer opens gets its own turn.
QString whileAnswering(const std::function<void(QWidget *)> &handle,
                       const std::function<QString()> &call)
{
    QTimer timer;
    timer.setInterval(20);
    QPointer<QWidget> handled;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != handled) {
            handled = modal;
            handle(modal);
        }
    });
    timer.start();
    return call();
}

void later(QObject *target, const char *method)
{
    QMetaObject::invokeMethod(target, method, Qt::QueuedConnection);
}

// Chooses a file in the first file dialog shown, cancels it when it comes back.
std::function<void(QWidget *)> choose(const QString &path, QStringList *questions,
                                      QMessageBox::StandardButton reply)
{
    auto shown = std::make_shared<int>(0);
    return [=](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            questions->append(box->text());
            later(box->button(reply), "click");
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            if ((*shown)++ == 0) {
                // Typed in, as a user does; the dialog reads the name field when accepted.
                dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
                later(dialog, "accept");
            } else {
                later(dialog, "reject");
            }
        }
    };
}

QString save(Kind kind, const QString &path, QStringList *questions,
             QMessageBox::StandardButton reply = QMessageBox::No)
{
    return whileAnswering(choose(path, questions, reply), [kind] {
        return Dialogs::current().saveFileName(nullptr, kind, Filters);
    });
}

QString open(Kind kind, const QString &path)
{
    QStringList questions;
    return whileAnswering(choose(path, &questions, QMessageBox::No), [kind] {
        return Dialogs::current().openFileName(nullptr, kind, Filters);
    });
}

// What a file dialog shows when it opens: its folder and the file name filled in.
struct Opening {
    QString folder;
    QString fileName;
};

Opening opening(Kind kind)
{
    Opening seen;
    whileAnswering(
        [&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                seen.folder = dialog->directory().absolutePath();
                if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    seen.fileName = name->text();
                later(dialog, "reject");
            }
        },
        [kind] { return Dialogs::current().saveFileName(nullptr, kind, Filters); });
    return seen;
}

void writeFile(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept");
}

// The environment variable set for as long as the object lives.
class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

// Replacing a file loses it: Save asks first, and keeps the file unless the answer is Yes.
TEST(FileDialogsTest, SaveAsksBeforeReplacingAFile)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("existing.txt"));
    writeFile(existing);
    const struct {
        QString path;
        QMessageBox::StandardButton reply;
        QString chosen;
        int questions;
    } cases[] = {
        {existing, QMessageBox::Yes, existing, 1},
        {existing, QMessageBox::No, QString(), 1}, // the dialog stays; then cancelled
        {dir.filePath(QStringLiteral("new.txt")), QMessageBox::No,
         dir.filePath(QStringLiteral("new.txt")), 0},
    };
    for (const auto &c : cases) {
        QStringList questions;
        EXPECT_EQ(save(Kind::Analysis, c.path, &questions, c.reply), c.chosen)
            << c.path.toStdString();
        ASSERT_EQ(questions.size(), c.questions) << c.path.toStdString();
        if (c.questions) {
            EXPECT_TRUE(questions[0].contains(QStringLiteral("existing.txt")))
                << questions[0].toStdString();
        }
    }
}

// Import and export each open where a file of their own kind was last chosen.
TEST(FileDialogsTest, ExportOpensInTheLastExportFolder)
{
    QTemporaryDir dir;
    const QString exports = dir.filePath(QStringLiteral("exports"));
    const QString bulletins = dir.filePath(QStringLiteral("bulletins"));
    QDir().mkpath(exports);
    QDir().mkpath(bulletins);
    writeFile(bulletins + QStringLiteral("/in.txt"));
    QStringList questions;
    ASSERT_EQ(save(Kind::Analysis, exports + QStringLiteral("/out.txt"), &questions),
              exports + QStringLiteral("/out.txt"));
    ASSERT_EQ(open(Kind::Bulletin, bulletins + QStringLiteral("/in.txt")),
              bulletins + QStringLiteral("/in.txt"));
    EXPECT_EQ(opening(Kind::Analysis).folder, exports);
    EXPECT_EQ(opening(Kind::Bulletin).folder, bulletins);
}

// A user without a pictures folder: the dialog opens in their home with no file name filled
// in (it used to offer the name "Pictures"); so it does once the last folder is gone.
TEST(FileDialogsTest, DialogsOpenInAnExistingFolderWithNoNameFilledIn)
{
    QTemporaryDir home;
    const ScopedVariable homeVariable("HOME", QFile::encodeName(home.path()));
    const ScopedVariable config("XDG_CONFIG_HOME",
                                QFile::encodeName(home.filePath(QStringLiteral("config"))));
    {
        QTemporaryDir gone;
        writeFile(gone.filePath(QStringLiteral("chart.txt")));
        QStringList questions;
        save(Kind::Chart, gone.filePath(QStringLiteral("chart.txt")), &questions, QMessageBox::Yes);
    }
    for (const Kind kind : {Kind::Chart, Kind::Bulletin}) {
        const Opening seen = opening(kind);
        EXPECT_EQ(seen.folder, QDir(home.path()).absolutePath());
        EXPECT_EQ(seen.fileName, QString());
    }
}
