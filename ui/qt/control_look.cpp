#include "ui/qt/control_look.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>

namespace lanqi::ui {

namespace {

// 宋体 is not on Linux: the same family under its Latin name, then the Song
// faces Debian ships (fonts-arphic-uming, fonts-noto-cjk).
const QStringList kSongFamilies{"宋体", "SimSun", "AR PL UMing CN", "Noto Serif CJK SC",
                                "Noto Serif CJK"};

QFont songFont(Font f, bool bold) {
    QFont font;
    font.setFamilies(kSongFamilies);
    font.setPointSizeF(tenthsOfPoint(f) / 10.0);
    font.setBold(bold);
    return font;
}

QFont atDpi(QFont font, int dpi) {
    const double scale = double(dpi) / kNormalDpi;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else
        font.setPixelSize(qRound(font.pixelSize() * scale));
    return font;
}

// The desktop's palette roles that stand for the system colours.
struct SystemColour {
    Colour colour;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr SystemColour kSystemColours[] = {
    {Colour::WindowText, QPalette::Active, QPalette::Text},
    {Colour::WindowBackground, QPalette::Active, QPalette::Base},
    {Colour::ActiveCaption, QPalette::Active, QPalette::Highlight},
    {Colour::ActiveBorder, QPalette::Active, QPalette::Button},
    {Colour::ButtonShadow, QPalette::Active, QPalette::Mid},
    {Colour::GreyText, QPalette::Disabled, QPalette::Text},
    {Colour::HighlightText, QPalette::Active, QPalette::HighlightedText},
};

} // namespace

QColor colourOf(Colour colour) {
    if (colour == Colour::Red) return QColor(255, 0, 0);
    if (colour == Colour::Blue) return QColor(0, 0, 255);
    for (const SystemColour& c : kSystemColours)
        if (c.colour == colour) return QApplication::palette().color(c.group, c.role);
    return {};
}

QFont fontOf(Font font, int dpi) {
    switch (font) {
    case Font::Song:
    case Font::Song12:
        return atDpi(songFont(font, false), dpi);
    case Font::SongBold:
        return atDpi(songFont(font, true), dpi);
    case Font::Default:
        break;
    }
    return atDpi(QApplication::font(), dpi);
}

Qt::Alignment alignmentOf(Align align) {
    switch (align) {
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

void applyLook(QWidget* widget, const Look& look, int dpi) {
    QPalette palette = widget->palette();
    if (look.text != Colour::Inherit) {
        QColor c = colourOf(look.text);
        palette.setColor(QPalette::Text, c);
        palette.setColor(QPalette::WindowText, c);
        palette.setColor(QPalette::ButtonText, c);
    }
    if (look.back != Colour::Inherit) {
        QColor c = colourOf(look.back);
        palette.setColor(QPalette::Base, c);
        palette.setColor(QPalette::Window, c);
    }
    widget->setPalette(palette);
    if (look.font != Font::Default) widget->setFont(fontOf(look.font, dpi));

    Qt::Alignment align = alignmentOf(look.align);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setAlignment(align | Qt::AlignTop);
        label->setAutoFillBackground(look.back != Colour::Inherit);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setAlignment(align | Qt::AlignVCenter);
    }
}

} // namespace lanqi::ui
