#pragma once
/// \file WidgetClasses.h
/// The library's widget classes as form tools need them (Qt Designer's widget
/// box): each widget unit's Register() adds its class here beside its entry in
/// the component list, so a new widget appears wherever the list is read.
/// Registering and reading are thread-safe; Create runs on the GUI thread.

#include "VynExport.h"

#include <QSize>
#include <QWidget>

#include <string>
#include <vector>

/// One widget class as a form tool shows and makes it.
struct VYN_EXPORT TWidgetClass {
    std::string ClassName;                         ///< as in the component list, e.g. "TStatusLed"
    std::string Header;                            ///< its public header, e.g. "StatusLed.h"
    std::string Description;                       ///< one line, for a tooltip
    QSize DefaultSize;                             ///< its size when dropped on a form
    QWidget* (*Create)(QWidget* parent) = nullptr; ///< makes one on `parent`
};

/// Adds a widget class; a class of a name already added changes nothing.
VYN_EXPORT void RegisterWidgetClass(const TWidgetClass& widgetClass);

/// Adds widget class T, made by `new T(parent)`.
template <class T>
void RegisterWidgetClass(const char* className, const char* header, const char* description,
                         QSize defaultSize) {
    RegisterWidgetClass(TWidgetClass{className, header, description, defaultSize,
                                     [](QWidget* parent) -> QWidget* { return new T(parent); }});
}

/// Every widget class of the library, in the component list's order (every
/// unit's Register() has run by then).
VYN_EXPORT std::vector<TWidgetClass> WidgetClasses();
