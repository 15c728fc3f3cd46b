# Compiles one-line sources against the include folders a layer's library is
# really built with: a header of the layer itself or of a layer below must be
# found, a header of a layer above (or beside) must not be.
#
# cmake -DCXX=... -DFLAGS=a|b -DWORK=<folder> -DINCLUDES_<layer>=dir|dir... -P layer_includes.cmake

# layer, header it includes, whether that builds
set(cases
  "platform  engine/job.h              refused"
  "engine    platform/paths.h          builds"
  "engine    selection/step2.h         refused"
  "engine    ui/layout.h               refused"
  "selection engine/job.h              builds"
  "selection run/run_driver.h          refused"
  "run       selection/passes.h        builds"
  "run       wizard/wizard.h           refused"
  "run       cli/startup.h             refused"
  "run       help/usage_text.h         refused"
  "wizard    run/run_driver.h          builds"
  "wizard    cli/startup.h             refused"
  "wizard    ui/layout.h               refused"
  "help      help/help_contents.h      builds"
  "help      engine/job.h              refused"
  "help      cli/startup.h             refused"
  "help      ui/layout.h               refused"
  "cli       wizard/window_start.h     builds"
  "cli       help/usage_text.h         builds"
  "cli       wizard/undo_run.h         builds"
  "cli       platform/stop_signals.h   builds"
  "cli       selection/passes.h        refused"
  "cli       platform/file_ops.h       refused"
  "cli       ui/layout.h               refused"
  "ui        wizard/wizard.h           builds"
  "ui        wizard/undo_task.h        builds"
  "ui        run/exit_codes.h          builds"
  "ui        help/help_contents.h      builds"
  "ui        platform/file_ops.h       refused"
  "ui        selection/passes.h        refused"
  "ui        cli/startup.h             refused"
)

string(REPLACE "|" ";" flags "${FLAGS}")
file(MAKE_DIRECTORY ${WORK})
set(failures "")
set(index 0)
foreach(case IN LISTS cases)
  string(REGEX REPLACE " +" ";" case "${case}")
  list(GET case 0 layer)
  list(GET case 1 header)
  list(GET case 2 expected)
  if(NOT DEFINED INCLUDES_${layer})
    if(layer STREQUAL "ui")
      continue()  # a build without the window
    endif()
    message(FATAL_ERROR "no include folders given for ${layer}")
  endif()
  string(REPLACE "|" ";" dirs "${INCLUDES_${layer}}")
  list(TRANSFORM dirs PREPEND "-I")

  math(EXPR index "${index} + 1")
  set(probe ${WORK}/probe_${index}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(COMMAND ${CXX} ${flags} ${dirs} -fsyntax-only ${probe}
                  RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
  if(expected STREQUAL "builds")
    if(NOT status EQUAL 0)
      string(APPEND failures "${layer} cannot include ${header}:\n${errors}\n")
    endif()
  else()
    # Refused for the right reason: the header is not there, not some other error.
    string(REGEX MATCH "${header}: No such file|'${header}' file not found" missing "${errors}")
    if(status EQUAL 0)
      string(APPEND failures "${layer} includes ${header}, which it must not see\n")
    elseif(NOT missing)
      string(APPEND failures "${layer} including ${header} fails otherwise:\n${errors}\n")
    endif()
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
