#include "catalogue/ui/article_picker.h"

#include "catalogue/ui/form_artikuli.h"
#include "common/ref_text.h"

namespace torvika {

bool articleModeAsksQuantity(int mode) {
    return mode == kSelectRevisionArticles || mode == kSelectProductionElements ||
           mode == kSelectTransferArticles || mode == kSelectDeliveryArticles;
}

QString PickedArticle::refText() const {
    return torvika::refText(id, description);
}

QList<int> ArticlePicker::modes() {
    QList<int> modes;
    for (int m = kSelectDiscountGroup; m <= kLastArticleMode; ++m)
        modes << m;
    return modes;
}

std::optional<ArticleChoice> pickArticles(const WindowContext& context, int mode, QWidget* parent) {
    TForm_Artikuli catalogue(context, mode, parent);
    catalogue.exec();
    const std::optional<ArticleChoice> chosen = catalogue.chosen();
    if (chosen && mode != kBrowseArticles)
        context.host.followUps().of<ArticlePicker>().run(mode, parent, *chosen);
    return chosen;
}

} // namespace torvika
