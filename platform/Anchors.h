#pragma once
/// \file Anchors.h
/// Anchored controls: a control keeps its distance to the parent's edges it is
/// anchored to as the parent is resized (anchored to both opposite edges it
/// stretches; to the right or bottom only, it moves). Distances are taken from
/// the control's designed geometry and the parent's designed size, so a parent
/// whose real size differs from the design (another style, a tab bar of
/// another height) still gets the designed margins.

#include "VynExport.h"

#include <QSize>

class QWidget;

/// The edges of the parent a control keeps its distance to.
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

/// Anchors a control to edges of its parent (a combination of TAnchor) and
/// places it at once for the parent's current size. GUI thread only.
VYN_EXPORT void SetAnchors(QWidget* control, unsigned anchors, QSize designedParentSize);
