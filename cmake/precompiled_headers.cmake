# Precompiled headers. Parsing Qt's and the test framework's headers is most
# of each file's compile time, so a cold build (CI) precompiles them once per
# group of targets. Off by default when ccache is the compiler launcher: ccache
# caches whole compiles, and would need extra sloppiness settings to cache
# compiles that use a precompiled header. Off too for optimised GCC 12 builds:
# GCC 12 loses the standard library's own "#pragma GCC diagnostic" in a
# precompiled header, so its known false -Warray-bounds on string
# concatenation would fail -Werror builds.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache" OR CMAKE_CXX_COMPILER MATCHES "ccache")
  set(jx_pch_default OFF)
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13
       AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(jx_pch_default OFF)
else()
  set(jx_pch_default ON)
endif()
option(JX_PCH "Precompile the Qt and test framework headers (off under ccache)" ${jx_pch_default})

# Only headers nearly every file of a group includes anyway; a file must still
# include what it uses (builds without JX_PCH check that).
set(JX_PCH_STD <algorithm> <array> <chrono> <cstdint> <filesystem> <functional>
  <map> <memory> <optional> <string> <string_view> <vector>)
set(JX_PCH_QT_CORE ${JX_PCH_STD} <QDateTime> <QFile> <QObject> <QString> <QStringList> <QTimer>)
set(JX_PCH_QT_WIDGETS ${JX_PCH_QT_CORE} <QAction> <QApplication> <QBoxLayout> <QCheckBox>
  <QComboBox> <QDialog> <QLabel> <QLineEdit> <QPainter> <QPushButton> <QWidget>)
set(JX_PCH_TEST <gmock/gmock.h> <gtest/gtest.h>)

# jx_precompile(TARGET HEADERS...): TARGET precompiles the headers for itself
# and for the targets that name it in jx_precompile_like.
function(jx_precompile target)
  if(JX_PCH AND TARGET ${target})
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# jx_precompile_like(TARGET OWNER): TARGET uses OWNER's precompiled header.
# Both must be compiled with the same options and Qt modules' definitions;
# the compiler warns on a header it cannot use, and CI's -Werror fails then.
function(jx_precompile_like target owner)
  if(JX_PCH AND TARGET ${target})
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()
