# Run-time options of the sanitized builds, read by script/test-sanitize and
# script/fuzz (`. script/sanitizer-env.sh` with $root set). Every report ends the
# process with a failure, leaks included. Options already in the environment win.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/script/lsan.supp:print_suppressions=0}"
