# orvane_costwin: the cost calculation windows (the wizard, the manual cost window and the progress
# window) over the cost calculation process.
add_library(orvane_costwin STATIC
  ${CMAKE_CURRENT_LIST_DIR}/uCostCalculate.cpp ${CMAKE_CURRENT_LIST_DIR}/uCostCalculate.h
  ${CMAKE_CURRENT_LIST_DIR}/uCostInput.cpp ${CMAKE_CURRENT_LIST_DIR}/uCostInput.h
  ${CMAKE_CURRENT_LIST_DIR}/uCostProgressBar.cpp ${CMAKE_CURRENT_LIST_DIR}/uCostProgressBar.h
)
target_include_directories(orvane_costwin PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(orvane_costwin PUBLIC orvane_costing orvane_forms orvane_core QuillCMRunStd Qt6::Widgets)
# The checkout offers the cost calculation through its hook, which these windows fill.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../closing/CMakeLists.txt AND
   EXISTS ${CMAKE_CURRENT_LIST_DIR}/../closing/uJxcCheckOutCore.h)
  target_link_libraries(orvane_costwin PUBLIC orvane_closing_core)
  target_compile_definitions(orvane_costwin PUBLIC ORVANE_CLOSING_HOOK=1)
endif()
