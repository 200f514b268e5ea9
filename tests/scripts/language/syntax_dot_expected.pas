begin
end
