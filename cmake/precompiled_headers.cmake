# Qt's headers take most of the time of compiling a file here, and every test includes the whole
# of Qt Test. They are compiled once per kind of target instead: each kind below precompiles its
# headers in a host target of its own, and every target of that kind reuses the host's header.
# A reuse needs the compiler flags and the Qt modules' macros to match the host's; a mismatch shows
# as an invalid precompiled header, an error wherever warnings are.

set(velscript_pch_core
    <QCoreApplication> <QDateTime> <QFile> <QJsonArray> <QJsonObject> <QList> <QLocale> <QObject>
    <QString> <QStringList> <QThread> <QVariant>
    <algorithm> <array> <atomic> <cmath> <condition_variable> <deque> <expected> <functional>
    <map> <memory> <mutex> <optional> <vector>)
set(velscript_pch_widgets ${velscript_pch_core}
    <QApplication> <QComboBox> <QLabel> <QMessageBox> <QPlainTextEdit> <QPushButton> <QTabBar>
    <QWidget>)

# Qt Test defines its build and source folder per folder of tests, for QFINDTESTDATA, which no test
# here uses; one value for all lets the tests of every folder share one precompiled header.
set_property(TARGET Qt6::Test PROPERTY INTERFACE_COMPILE_DEFINITIONS
    QT_TESTLIB_LIB QT_TESTCASE_BUILDDIR="${PROJECT_BINARY_DIR}"
    QT_TESTCASE_SOURCEDIR="${PROJECT_SOURCE_DIR}")

# The kinds: the Qt modules whose macros a target sees, and what it precompiles.
set(velscript_pch_kinds core widgets test_widgets)
set(velscript_pch_core_libraries Qt6::Core)
set(velscript_pch_core_headers ${velscript_pch_core})
set(velscript_pch_widgets_libraries Qt6::Widgets)
set(velscript_pch_widgets_headers ${velscript_pch_widgets})
set(velscript_pch_test_widgets_libraries Qt6::Test Qt6::Widgets)
set(velscript_pch_test_widgets_headers <QtTest> ${velscript_pch_widgets})

set(velscript_pch_source ${CMAKE_BINARY_DIR}/generated/precompiled_header_host.cpp)
file(CONFIGURE OUTPUT ${velscript_pch_source}
     CONTENT "// Compiles nothing of its own: its target only precompiles headers for others.\n")
foreach(kind ${velscript_pch_kinds})
    add_library(velscript_pch_${kind} OBJECT ${velscript_pch_source})
    set_target_properties(velscript_pch_${kind} PROPERTIES AUTOMOC OFF UNITY_BUILD OFF)
    target_link_libraries(velscript_pch_${kind} PRIVATE ${velscript_pch_${kind}_libraries})
    target_precompile_headers(velscript_pch_${kind} PRIVATE ${velscript_pch_${kind}_headers})
endforeach()

# Gives TARGET the precompiled headers of KIND (one of velscript_pch_kinds).
function(velscript_precompile_headers target kind)
    if(NOT kind IN_LIST velscript_pch_kinds)
        message(FATAL_ERROR "No precompiled headers of the kind '${kind}'")
    endif()
    target_precompile_headers(${target} REUSE_FROM velscript_pch_${kind})
    # moc's output for a target is small or empty (the tests include theirs in their own source):
    # loading a precompiled header of a few hundred MB into it costs more than it saves.
    get_target_property(binary_dir ${target} BINARY_DIR)
    set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()
