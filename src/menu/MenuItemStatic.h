#pragma once
// Menu lines that only show something: a gap line, a section header, a line
// of text and the picture at the head of an object's page.

#include <string>

#include "menu/MenuItem.h"

namespace NSMenu {

class MenuItemSeparator : public MenuItem {
public:
    explicit MenuItemSeparator(MenuItemHost* menu) : MenuItem(menu, true) {}
    void setValue(const Value&) override {}
    Value getValue() const override { return Value(); }

protected:
    void drawContent() override;
};

class MenuItemHeader : public MenuItem {
public:
    explicit MenuItemHeader(MenuItemHost* menu) : MenuItem(menu, false) {}
    void setValue(const Value&) override {}
    Value getValue() const override { return Value(); }
    int labelRoom() const override { return kLabelWidth; }

protected:
    void drawContent() override;
};

class MenuItemText : public MenuItem {
public:
    explicit MenuItemText(MenuItemHost* menu) : MenuItem(menu, false) {}
    // Takes the string only for a String item.
    void setValue(const Value& value) override;
    Value getValue() const override;
    const std::string& getText() const { return text; }

protected:
    void drawContent() override;

private:
    std::string text;
};

class MenuItemPicture : public MenuItem {
public:
    explicit MenuItemPicture(MenuItemHost* menu) : MenuItem(menu, true) {}
    // For a String item: a new file name loads "md2_objects\<name>" (needs a
    // GL context); a name that cannot be loaded leaves texture 0.
    void setValue(const Value& value) override;
    Value getValue() const override;
    unsigned getTexture() const { return texture; }
    const std::string& getFileName() const { return fileName; }

protected:
    void drawContent() override;

private:
    unsigned texture = 0;
    std::string fileName;
};

} // namespace NSMenu
