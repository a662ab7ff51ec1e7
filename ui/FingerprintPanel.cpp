#include "ui/FingerprintPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>

#include "catalogue/Fingerprint.h"

namespace kloxmere::ui {

FingerprintPanel::FingerprintPanel(Catalogue& catalogue, QWidget* parent)
    : QLabel(parent), m_catalogue(catalogue) {
    setObjectName("FingerprintPanel");
    setCursor(Qt::PointingHandCursor);
    setToolTip(
        "The enabled archives' fingerprint: players with the same code have the same "
        "units, weapons and build menus. Click to copy it.");
}

void FingerprintPanel::refresh() {
    m_code = QString::fromStdString(FingerprintEnabledSet(m_catalogue).code);
    QString text = "Fingerprint " + m_code;
    setText(text);
    setAccessibleName(text);
}

void FingerprintPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_code.isEmpty()) {
        QLabel::mousePressEvent(event);
        return;
    }
    QApplication::clipboard()->setText(m_code);
    event->accept();
}

}  // namespace kloxmere::ui
