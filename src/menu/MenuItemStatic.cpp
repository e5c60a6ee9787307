#include "menu/MenuItemStatic.h"

#include <GL/gl.h>

#include "resources/LoaderGLTexture.h"
#include "shell/Language.h"

namespace NSMenu {

void MenuItemSeparator::drawContent() {
    glColor3f(0.4f, 0.6f, 1.0f);
    fillRect(10.0f, 4.0f, float(area.width - 10), 6.0f, 0.0f);
}

void MenuItemHeader::drawContent() {
    NSGraphic::GLFont* font = labelFontFor();
    glColor3f(0.0f, 1.0f, 0.4f);
    printAt(font, 7, 16, tr(label));
}

void MenuItemText::setValue(const Value& value) {
    if (type == TYPE_STRING)
        text = value.stringValue;
}

Value MenuItemText::getValue() const { return Value::ofString(text); }

void MenuItemText::drawContent() { printAt(valueFontFor(), 25, 16, tr(text)); }

void MenuItemPicture::setValue(const Value& value) {
    if (type != TYPE_STRING || value.stringValue == fileName)
        return;
    fileName = value.stringValue;
    // The texture itself belongs to the loader's cache; only let go of it.
    texture = 0;
    if (!fileName.empty()) {
        unsigned* loaded = NSLoader::LoaderGLTexture::instance().get("md2_objects\\" + fileName);
        texture = loaded ? *loaded : 0;
    }
}

Value MenuItemPicture::getValue() const { return Value::ofString(fileName); }

void MenuItemPicture::drawContent() {
    glColor3f(1.0f, 1.0f, 1.0f);
    frameRect(20.0f, 22.0f, 148.0f, 150.0f, 1.0f, 2.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(20.0f, 22.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(148.0f, 22.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(148.0f, 150.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(20.0f, 150.0f, 0.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

} // namespace NSMenu
