# Controls of the host package: labelled edits, general grids, status bar and rights-aware buttons.
target_sources(QuillCMRunStd PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Kvbasicinfocomponent.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvbasicinfocomponent.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvcontrols.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvcontrols.h
  ${CMAKE_CURRENT_LIST_DIR}/Kvggeneralgrid.cpp ${CMAKE_CURRENT_LIST_DIR}/Kvggeneralgrid.h
)
target_include_directories(QuillCMRunStd PUBLIC ${CMAKE_CURRENT_LIST_DIR})
