#pragma once
/// \file Palette.h
/// The library's component list: every component class registers its name
/// under a palette page ("VYN"), so tools and programs can see what the
/// library offers.

#include "VynExport.h"

#include <initializer_list>
#include <string>
#include <vector>

/// One registered component class.
struct VYN_EXPORT TComponentInfo {
    std::string ClassName; ///< "TStatusLed"
    std::string Page;      ///< the palette page: "VYN"
};

/// Adds classes to a palette page; registering a class again changes nothing.
VYN_EXPORT void RegisterComponents(const char* page, std::initializer_list<const char*> classNames);

/// What has been registered so far, in order. Thread-safe.
VYN_EXPORT std::vector<TComponentInfo> ComponentList();

/// Every component of the VYN library, each registered by its unit's
/// Register(), in order. Thread-safe.
VYN_EXPORT std::vector<TComponentInfo> RegisteredComponents();

/// How many units of the library register components (each registers at
/// least one class).
VYN_EXPORT int RegisteredUnitCount();
