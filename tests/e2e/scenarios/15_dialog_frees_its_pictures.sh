# The dialog frees the icons and the side picture it loaded when it ends,
# checked inside the program once its window is gone.
for close in "click IDC_QUIT|exit IDC_QUIT" "key IDC_INSTALL escape|exit 2" "closebox|exit 2"; do
  robot <<SCRIPT
launch @EXE@
watchfree IDC_SIDE_PICTURE @OUT@/freed.txt
${close%%|*}
${close#*|}
SCRIPT
  report=$(tr -d '\r' <"$E2E_OUT/logs/freed.txt" 2>/dev/null) || fail "no report of what was freed"
  echo "$report"
  [ "$report" = "large icon freed
small icon freed
side picture freed" ] || fail "ended by '${close%%|*}', the dialog kept what it loaded"
done
