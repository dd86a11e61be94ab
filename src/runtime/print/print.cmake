# Printing: the engine (paged layout to printers, preview and PDF), the print button TCMKvPrintBtn of unit
# Kvtable, the print layouts kept in the account set and their design dialog.
target_sources(QuillCMRunStd PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Kvprintdata.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvprintlayout.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvprintlayout.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvprintengine.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvprintengine.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvprintdesign.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvprintdesign.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvtable.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvtable.h
)
target_include_directories(QuillCMRunStd PUBLIC ${CMAKE_CURRENT_LIST_DIR})
