#pragma once
// The page of the document designer: the three bands of the template one
// under another on an A4 page, each under a strip naming it, the band texts
// and the elements as they print (data fields show their table and column,
// labels their caption). An element is chosen with the mouse and moved by
// dragging it (onto another band as well) or resized by dragging its lower
// right corner; from the keyboard the arrows move the chosen element (with
// Ctrl by ten units), Shift and the arrows resize it, Delete removes it.
// The elements always stay inside the page. A double click on the upper or
// lower band outside its elements edits that band's text.

#include "documents/report_template.h"

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>

class QTextDocument;

namespace torvika {

class DesignModel;

class DesignPage : public QWidget {
    Q_OBJECT
public:
    explicit DesignPage(QWidget* parent = nullptr);
    ~DesignPage() override;
    void setUp(DesignModel* model, const QString& imageDir);

    // Where a band starts on the page (its top, under its strip).
    int bandTop(ReportBand band) const;
    // The element's box on the page.
    QRect elementBox(int index) const;
    QSize sizeHint() const override;

signals:
    // The band's text should be edited (a double click on it).
    void bandTextRequested(ReportBand band);
    // Delete was pressed on the chosen element.
    void deleteRequested();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Move, Resize };
    int elementAt(QPoint p) const;
    // The band under the page's point (the nearest one above or below).
    ReportBand bandAt(int y) const;
    QRect handleOf(const QRect& box) const;
    QString designText(const ReportElement& e) const;
    void rebuildTexts();
    int pageHeight() const;

    DesignModel* model_ = nullptr;
    QString imageDir_;
    std::unique_ptr<QTextDocument> header_;
    std::unique_ptr<QTextDocument> footer_;
    QByteArray headerRtf_;
    QByteArray footerRtf_;
    Drag drag_ = Drag::None;
    QPoint pressedAt_;
    QRect pressedBox_;
};

} // namespace torvika
