# Sources of the libraries that no fuzz target links: the fuzz build leaves
# them out of its libraries (tf_library in cmake/Tallowfinch.cmake), which
# saves about a third of its compile time (the standard controls above all).
# When a fuzz target comes to need one of them, the link names the missing
# symbols: take the file off this list.
set(TALLOWFINCH_FUZZ_UNUSED_SOURCES
  ${PROJECT_SOURCE_DIR}/platform/rtl/HttpClient.cpp
  ${PROJECT_SOURCE_DIR}/platform/rtl/SyncObjs.cpp
  ${PROJECT_SOURCE_DIR}/platform/win32/Messages.cpp
  ${PROJECT_SOURCE_DIR}/platform/vcl/Clipbrd.cpp
  ${PROJECT_SOURCE_DIR}/platform/vcl/ComCtrls.cpp
  ${PROJECT_SOURCE_DIR}/platform/vcl/ExtCtrls.cpp
  ${PROJECT_SOURCE_DIR}/platform/vcl/ExtCtrlsBase.cpp
  ${PROJECT_SOURCE_DIR}/platform/vcl/StdCtrls.cpp
  ${PROJECT_SOURCE_DIR}/foundation/KitGDIPlusApi.cpp
  ${PROJECT_SOURCE_DIR}/foundation/KitGDIPlusClasses.cpp
  ${PROJECT_SOURCE_DIR}/foundation/KitGDIPlusClassesBrushes.cpp
  ${PROJECT_SOURCE_DIR}/foundation/KitGDIPlusClassesGraphics.cpp
  ${PROJECT_SOURCE_DIR}/foundation/KitGDIPlusClassesImages.cpp)
