# Warning flags shared by every target of the project.
set(PAGORIN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference
    -Wimplicit-fallthrough)
if(PAGORIN_WERROR)
  list(APPEND PAGORIN_WARNINGS -Werror)
endif()

function(pagorin_warnings target)
  target_compile_options(${target} PRIVATE ${PAGORIN_WARNINGS})
endfunction()
