# Text, number and date formatting and the bill number formatter.
target_sources(QuillSysUtils PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Format.cpp ${CMAKE_CURRENT_LIST_DIR}/Format.h
  ${CMAKE_CURRENT_LIST_DIR}/FormatDateTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatFloat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatDigits.cpp ${CMAKE_CURRENT_LIST_DIR}/FormatDigits.h
  ${CMAKE_CURRENT_LIST_DIR}/uBillNumberFormat.cpp ${CMAKE_CURRENT_LIST_DIR}/uBillNumberFormat.h
)
