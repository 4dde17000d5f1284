# fish completion for twbkf, the command line of Tallowin for BKF.
set -l commands scan list extract verify
set -l reading list extract verify
complete -c twbkf -f
complete -c twbkf -n "not __fish_seen_subcommand_from $commands" -a scan -d 'Scan a BKF file'
complete -c twbkf -n "not __fish_seen_subcommand_from $commands" -a list -d 'List its files'
complete -c twbkf -n "not __fish_seen_subcommand_from $commands" -a extract -d 'Save its files'
complete -c twbkf -n "not __fish_seen_subcommand_from $commands" -a verify -d 'Check its files'
complete -c twbkf -n "__fish_seen_subcommand_from $commands" -F
complete -c twbkf -s q -l quiet -d 'No progress on standard error'
complete -c twbkf -s v -l verbose -d 'One line per file written'
complete -c twbkf -l help -d 'Show the help'
complete -c twbkf -l version -d 'Show the version'
complete -c twbkf -n '__fish_seen_subcommand_from scan' -l snapshot -r -F -d 'Save the catalogue as a snapshot'
complete -c twbkf -n '__fish_seen_subcommand_from scan' -l log -d 'Write the activity log'
complete -c twbkf -n "__fish_seen_subcommand_from scan list verify" -l json -d 'JSON output'
complete -c twbkf -n "__fish_seen_subcommand_from $reading" -s T -l files-from -r -F -d 'Only the paths named in FILE'
complete -c twbkf -n "__fish_seen_subcommand_from $reading" -l match -x -d 'Only the files matching PATTERN'
complete -c twbkf -n "__fish_seen_subcommand_from $reading" -l exclude -x -d 'Leave out the files matching PATTERN'
complete -c twbkf -n "__fish_seen_subcommand_from $reading" -s i -l ignore-case -d 'Match regardless of case'
complete -c twbkf -n '__fish_seen_subcommand_from extract verify' -l bkf -r -F -d "The moved snapshot's BKF file"
complete -c twbkf -n '__fish_seen_subcommand_from scan extract verify' -l force -d 'Replace or use all the same'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -s C -l to -x -a '(__fish_complete_directories)' -d 'The folder to save into'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -s o -l archive -r -F -d 'Write a tar or zip archive'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -s O -l stdout -d "The files' bytes to standard output"
complete -c twbkf -n '__fish_seen_subcommand_from extract' -s n -l dry-run -d 'Print the paths, write nothing'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -l prefix -x -d 'Name prefix of the new folder'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -l strip-components -x -d 'Leave out N leading folders'
complete -c twbkf -n '__fish_seen_subcommand_from extract' -s j -l flat -d 'No folders'
