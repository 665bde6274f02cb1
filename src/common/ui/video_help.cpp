#include "common/ui/video_help.h"

#include <QAudioOutput>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMediaPlayer>
#include <QProgressBar>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace torvika {

namespace {

// Qt's GStreamer player (Qt 6.4) crashes while it is being created when the
// GStreamer base elements are not installed, and Qt's packages do not
// require them; its FFmpeg player comes with Qt Multimedia itself and plays
// .avi clips. It is chosen before the first player is made, unless the
// user chose a player backend himself.
void chooseMediaBackend() {
    static const bool chosen = [] {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        return true;
    }();
    Q_UNUSED(chosen);
}

} // namespace

ClipView::ClipView(const QString& clipFile, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ClipView"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    if (QFileInfo::exists(clipFile)) {
        chooseMediaBackend();
        auto* video = new QVideoWidget(this);
        video->setObjectName(QStringLiteral("Video"));
        video->setMinimumSize(320, 240);
        l->addWidget(video);
        player_ = new QMediaPlayer(this);
        player_->setVideoOutput(video);
        player_->setAudioOutput(new QAudioOutput(this));
        player_->setLoops(QMediaPlayer::Infinite);
        player_->setSource(QUrl::fromLocalFile(clipFile));
        player_->play();
        return;
    }
    auto* busy = new QProgressBar(this);
    busy->setObjectName(QStringLiteral("BusyIndicator"));
    busy->setRange(0, 0); // indeterminate: the bar keeps moving
    busy->setTextVisible(false);
    busy->setMinimumWidth(200);
    l->addWidget(busy);
}

void ClipView::stop() {
    if (player_)
        player_->stop();
}

TForm_Video_Help::TForm_Video_Help(const QString& clipFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_Video_Help"));
    setWindowTitle(QStringLiteral("ВИДЕО ПОМОЩ"));
    auto* l = new QVBoxLayout(this);
    clip_ = new ClipView(clipFile, this);
    l->addWidget(clip_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    l->addWidget(buttons);
    connect(this, &QDialog::finished, clip_, &ClipView::stop);
}

QWidget* createSearchAnimation(const QString& videoDir, QWidget* parent) {
    auto* w = new QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    w->setObjectName(QStringLiteral("Search_Animation"));
    auto* l = new QVBoxLayout(w);
    l->addWidget(new ClipView(videoDir + QStringLiteral("/Search.avi"), w));
    w->adjustSize();
    if (QScreen* s = (parent ? parent->screen() : nullptr)) {
        QRect g = s->geometry();
        w->move(g.width() - w->width() - 20, g.height() - w->height() - 100);
    }
    return w;
}

} // namespace torvika
