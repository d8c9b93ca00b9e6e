#include "platform/font_dialog.h"

#include "modal_cursor.h"
#include "platform/error.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QRegularExpression>
#include <QValidator>

#include <cmath>
#include <memory>

namespace platform {
namespace {

// Sizes the size box takes, in points: Qt's own range.
constexpr double kSmallestSize = 1;
constexpr double kLargestSize = 512;

// A typed size with the locale's decimal separator turned into a point.
QString withPoint(QString text) {
    return text.replace(QLocale().decimalPoint(), QStringLiteral("."));
}

// A size typed in the box: up to three digits, and up to two decimals after the locale's
// decimal separator or a point ("10.5", "10,5"). Nothing when the text is not a size.
std::optional<double> typedSize(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,3}(?:\\.[0-9]{0,2})?$"));
    const QString c = withPoint(text);
    if (!form.match(c).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double points = QLocale::c().toDouble(c, &ok);
    if (!ok || points < kSmallestSize || points > kLargestSize)
        return std::nullopt;
    return points;
}

class SizeValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (typedSize(input))
            return Acceptable;
        // What may still become a size: empty, "0", or digits and a separator yet to be followed.
        static const QRegularExpression partial(QStringLiteral("^[0-9]{0,3}(?:\\.[0-9]{0,2})?$"));
        return partial.match(withPoint(input)).hasMatch() ? Intermediate : Invalid;
    }
};

QString sizeText(double points) {
    return QLocale().toString(points, 'g', 6);
}

bool isWhole(double points) {
    return points == std::floor(points);
}

// Qt's font dialog deals in whole point sizes: its size box takes whole numbers, and its size
// list and sample follow a whole size. This puts a size box of our own in the place of Qt's,
// taking sizes such as 10.5. Qt's box stays, hidden, holding the nearest whole size, so that the
// size list and the sample go on following it; the sample is then drawn at the exact size, which
// makes it the dialog's current font. A dialog that is not built as expected keeps Qt's box and
// whole sizes.
class FractionalSizeBox final : public QObject {
public:
    FractionalSizeBox(QFontDialog& dialog, double initialPoints) : QObject(&dialog) {
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<const QIntValidator*>(edit->validator()) != nullptr)
                m_qtBox = edit;
        }
        auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
        if (m_qtBox == nullptr || grid == nullptr || grid->indexOf(m_qtBox) < 0)
            return;
        for (QGroupBox* group : dialog.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
            if (auto* edit = group->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
                m_sample = edit;
        }

        m_box = new QLineEdit(&dialog);
        m_box->setObjectName(QStringLiteral("sizeBox"));
        m_box->setValidator(new SizeValidator(m_box));
        delete grid->replaceWidget(m_qtBox, m_box);
        m_qtBox->hide();
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->buddy() == m_qtBox)
                label->setBuddy(m_box);
        }
        // Tab reaches the box between the style list and the size list.
        const QList<QListView*> lists = dialog.findChildren<QListView*>(Qt::FindDirectChildrenOnly);
        if (lists.size() == 3) {
            QWidget::setTabOrder(lists.at(1), m_box);
            connect(lists.at(2), &QListView::clicked, this,
                    [this](const QModelIndex& index) { takeWholeSize(index.data().toString()); });
        }
        m_box->installEventFilter(this);

        m_box->setText(sizeText(initialPoints));
        fixSample();
        connect(m_box, &QLineEdit::textEdited, this, [this] {
            if (const std::optional<double> points = typedSize(m_box->text())) {
                m_qtBox->setText(QString::number(std::lround(*points)));
                fixSample();
            }
        });
        // Qt's box changes when a size is picked in the list, or the family or style changes.
        connect(m_qtBox, &QLineEdit::textChanged, this,
                [this](const QString& text) { takeWholeSize(text); });
        connect(&dialog, &QFontDialog::currentFontChanged, this,
                [this] { takeWholeSize(m_qtBox->text()); });
    }

    /// The size in the box; nothing when it holds no size or Qt's dialog was not as expected.
    std::optional<double> points() const {
        return m_box != nullptr ? typedSize(m_box->text()) : std::nullopt;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The arrow and page keys move through the size list, as in Qt's own box.
        if (watched == m_box && event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QCoreApplication::sendEvent(m_qtBox, event);
                return true;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Qt's whole size `text` replaces ours unless it is ours rounded (10.5 or "10." for 10).
    void takeWholeSize(const QString& text) {
        bool ok = false;
        const long whole = text.toLong(&ok);
        const std::optional<double> ours = typedSize(m_box->text());
        if (ok && (!ours || std::lround(*ours) != whole))
            m_box->setText(text);
        fixSample();
    }

    void fixSample() {
        const std::optional<double> ours = typedSize(m_box->text());
        if (m_sample == nullptr || !ours || isWhole(*ours))
            return;
        QFont font = m_sample->font();
        if (font.pointSizeF() != *ours) {
            font.setPointSizeF(*ours);
            m_sample->setFont(font);
        }
    }

    QLineEdit* m_qtBox = nullptr;
    QLineEdit* m_box = nullptr;
    QLineEdit* m_sample = nullptr;
};

} // namespace

FontChoice QtFontDialog::chooseFont() {
    QFontDialog dialog(m_lastChoice.value_or(QApplication::font()), dialogParent());
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // A font sized in pixels has no point size of its own; take the one it is shown at.
    auto pointsOf = [](const QFont& font) {
        return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    };
    auto* sizes =
        new FractionalSizeBox(dialog, pointsOf(m_lastChoice.value_or(QApplication::font())));
    ArrowCursorWhileModal arrow;
    if (dialog.exec() != QDialog::Accepted)
        throw CancelledError();
    QFont font = dialog.selectedFont();
    const double points = sizes->points().value_or(pointsOf(font));
    font.setPointSizeF(points);
    m_lastChoice = font;
    return {font.family(), points};
}

} // namespace platform
