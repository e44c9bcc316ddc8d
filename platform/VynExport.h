#pragma once
/// \file VynExport.h
/// VYN_EXPORT marks the libraries' public interface. Built with
/// -DVYN_SHARED=ON the libraries are shared with hidden visibility, so only
/// what carries it is exported; built static (the default) it changes
/// nothing.

/// Gives a declaration default visibility: exported from a shared library.
#define VYN_EXPORT __attribute__((visibility("default")))
