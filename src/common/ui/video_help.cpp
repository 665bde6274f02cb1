#include "common/ui/video_help.h"

#include "ui_search_animation.h"
#include "ui_video_help.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QProgressBar>
#include <QScreen>
#include <QUrl>
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

ClipView::ClipView(QWidget* parent) : QWidget(parent) {
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
}

void ClipView::setUp(const QString& clipFile) {
    if (QFileInfo::exists(clipFile)) {
        chooseMediaBackend();
        auto* video = new QVideoWidget(this);
        video->setObjectName(QStringLiteral("Video"));
        video->setMinimumSize(320, 240);
        layout()->addWidget(video);
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
    layout()->addWidget(busy);
}

void ClipView::stop() {
    if (player_)
        player_->stop();
}

TForm_Video_Help::TForm_Video_Help(const QString& clipFile, QWidget* parent)
    : QDialog(parent), ui(new Ui::TForm_Video_Help) {
    ui->setupUi(this);
    ui->ClipView->setUp(clipFile);
    connect(ui->ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, ui->ClipView, &ClipView::stop);
}

TForm_Video_Help::~TForm_Video_Help() = default;

ClipView* TForm_Video_Help::clip() const {
    return ui->ClipView;
}

SearchAnimation::SearchAnimation(const QString& videoDir, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(new Ui::SearchAnimation) {
    ui->setupUi(this);
    ui->ClipView->setUp(videoDir + QStringLiteral("/Search.avi"));
}

SearchAnimation::~SearchAnimation() = default;

QWidget* createSearchAnimation(const QString& videoDir, QWidget* parent) {
    auto* w = new SearchAnimation(videoDir, parent);
    w->adjustSize();
    if (QScreen* s = (parent ? parent->screen() : nullptr)) {
        QRect g = s->geometry();
        w->move(g.width() - w->width() - 20, g.height() - w->height() - 100);
    }
    return w;
}

} // namespace torvika
