#pragma once
// Help clips: the modal "ВИДЕО ПОМОЩ" window and the small busy window of
// long searches (shown only when its clip exists). A clip view whose file is
// missing, or that finds no usable media player, shows a busy indicator
// instead, so the help window is never blank.

#include <QDialog>
#include <memory>

class QMediaPlayer;

namespace Ui {
class TForm_Video_Help;
class SearchAnimation;
} // namespace Ui

namespace torvika {

// The clip (or, without it, a busy indicator) inside a widget; a promoted
// widget of the clip windows' forms.
class ClipView : public QWidget {
    Q_OBJECT
public:
    explicit ClipView(QWidget* parent = nullptr);
    // Plays the clip in a loop, or shows the busy indicator when the file
    // does not exist. Called once.
    void setUp(const QString& clipFile);
    bool playing() const { return player_ != nullptr; }
    void stop();

private:
    QMediaPlayer* player_ = nullptr;
};

class TForm_Video_Help : public QDialog {
    Q_OBJECT
public:
    TForm_Video_Help(const QString& clipFile, QWidget* parent = nullptr);
    ~TForm_Video_Help() override;
    ClipView* clip() const;

private:
    std::unique_ptr<Ui::TForm_Video_Help> ui;
};

// The non-modal search animation: a frameless tool window that stays on top.
class SearchAnimation : public QWidget {
    Q_OBJECT
public:
    SearchAnimation(const QString& videoDir, QWidget* parent);
    ~SearchAnimation() override;

private:
    std::unique_ptr<Ui::SearchAnimation> ui;
};

// The search animation near the bottom-right corner of the screen.
QWidget* createSearchAnimation(const QString& videoDir, QWidget* parent);

} // namespace torvika
