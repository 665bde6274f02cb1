#pragma once
// Help clips: the modal "ВИДЕО ПОМОЩ" window and the small busy window of
// long searches (shown only when its clip exists). A clip view whose file is
// missing, or that finds no usable media player, shows a busy indicator
// instead, so the help window is never blank.

#include <QDialog>

class QMediaPlayer;

namespace torvika {

// The clip (or, without it, a busy indicator) inside a widget.
class ClipView : public QWidget {
    Q_OBJECT
public:
    ClipView(const QString& clipFile, QWidget* parent);
    bool playing() const { return player_ != nullptr; }
    void stop();

private:
    QMediaPlayer* player_ = nullptr;
};

class TForm_Video_Help : public QDialog {
    Q_OBJECT
public:
    TForm_Video_Help(const QString& clipFile, QWidget* parent = nullptr);
    ClipView* clip() const { return clip_; }

private:
    ClipView* clip_;
};

// The non-modal search animation near the bottom-right corner of the screen.
QWidget* createSearchAnimation(const QString& videoDir, QWidget* parent);

} // namespace torvika
